#pragma once

#include <QList>
#include <QPointer>
#include <functional>

#include "platform/ui/ViewController.h"

class NavigationBar;
class ToolBar;

// A stack of screens with a 44-point navigation bar at the top and an optional 44-point
// toolbar at the bottom. Pushing slides the new screen in from the right; popping slides it out
// and destroys it (and with it its requests and timers).
class NavigationController : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavigationController)

public:
    static constexpr int kBarHeight = 44;

    explicit NavigationController(ViewController* root, QWidget* parent = nullptr);
    ~NavigationController() override;

    void pushViewController(ViewController* controller, bool animated = true);
    // Pops the top screen (never the root); returns it, already shut down and about to be
    // destroyed, or null.
    ViewController* popViewController(bool animated = true);
    // Pops every screen above controller; the popped screens are destroyed.
    void popToViewController(ViewController* controller, bool animated = true);
    // Pops to the first screen, counted from the bottom, that the test accepts; false and
    // nothing popped when none does.
    bool popToFirst(const std::function<bool(ViewController*)>& test, bool animated = true);
    // The first screen of class T found from the bottom of the stack.
    template <class T> bool popToFirstOfClass(bool animated = true) {
        return popToFirst([](ViewController* c) { return qobject_cast<T*>(c) != nullptr; },
                          animated);
    }
    void popToRootViewController(bool animated = true);

    QList<ViewController*> viewControllers() const;
    ViewController* topViewController() const;
    ViewController* rootViewController() const;

    // The navigation bar: shown or hidden (animated), background image, translucent (the
    // screen extends under the bar) or opaque.
    void setNavigationBarHidden(bool hidden, bool animated = false);
    bool isNavigationBarHidden() const { return barHidden_; }
    void setNavigationBarBackgroundImage(const QString& imageName);
    QString navigationBarBackgroundImage() const;
    void setNavigationBarTranslucent(bool translucent);
    bool isNavigationBarTranslucent() const { return translucent_; }
    NavigationBar* navigationBar() const { return bar_; }

    // The bottom toolbar.
    void setToolbarHidden(bool hidden, bool animated = false);
    bool isToolbarHidden() const { return toolbarHidden_; }
    void setToolbarBackgroundImage(const QString& imageName);
    void setToolbarTranslucent(bool translucent);
    QWidget* toolbar() const;

    // Whether a pushed screen asks for the tab bar to go away.
    bool wantsBottomBarHidden() const;

    // The rectangle the top screen occupies, for tests and layout.
    QRect contentRect() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

private:
    void layoutChildren();
    void updateBar();
    void popAbove(int index, bool animated);
    void notifyStackChanged();

    QList<QPointer<ViewController>> stack_;
    NavigationBar* bar_ = nullptr;
    ToolBar* toolbar_ = nullptr;
    bool barHidden_ = false;
    bool toolbarHidden_ = true;
    bool translucent_ = false;
    bool toolbarTranslucent_ = false;
    double barShown_ = 1.0; // 0..1 during the bar's show/hide animation
    double toolShown_ = 0.0;
};
