#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class NavigationController;
class TabBarController;
class Window;

// A tab's item: title, image (the same for both states, drawn untinted) and tag.
struct TabBarItem {
    QString title;
    QString imageName;
    int tag = 0;
};

// One screen. The widget is the screen's view; viewDidLoad runs once, before the first
// appearance; viewWillAppear / viewDidAppear / viewWillDisappear bracket every appearance.
// A screen owns what it starts (requests, timers, overlays) as its children: when it is popped
// or dismissed it is destroyed and takes them along.
class ViewController : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ViewController)

public:
    explicit ViewController(QWidget* parent = nullptr);
    ~ViewController() override;

    // Loads the view when it was not loaded yet (calls viewDidLoad once).
    void loadViewIfNeeded();
    bool isViewLoaded() const { return loaded_; }

    QString title() const { return title_; }
    void setTitle(const QString& title);

    // Bar buttons shown by the navigation bar while this screen is on top. The widgets are
    // owned by the screen.
    void setLeftBarButton(QWidget* button);
    void setRightBarButton(QWidget* button);
    // A custom widget in the title's place (the reader's chapter buttons).
    void setTitleView(QWidget* view);
    QWidget* leftBarButton() const { return left_; }
    QWidget* rightBarButton() const { return right_; }
    QWidget* titleView() const { return titleView_; }
    void setHidesBackButton(bool hides);
    bool hidesBackButton() const { return hidesBackButton_; }

    void setHidesBottomBarWhenPushed(bool hides) { hidesBottomBar_ = hides; }
    bool hidesBottomBarWhenPushed() const { return hidesBottomBar_; }

    TabBarItem tabBarItem() const { return tabBarItem_; }
    void setTabBarItem(const TabBarItem& item);

    // The navigation stack and the tab bar controller this screen is in, if any.
    NavigationController* navigationController() const;
    TabBarController* tabBarController() const;
    Window* window() const;

    // Modal presentation: controller covers this screen's window, sliding up from the bottom;
    // dismissal slides it down and destroys it.
    void presentModal(ViewController* controller, bool animated = true);
    void dismissModal(bool animated = true);
    ViewController* presentedViewController() const { return presented_; }
    ViewController* presentingViewController() const { return presenting_; }

    // Called by containers; screens override the hooks below instead.
    void beginAppearance(bool animated);
    void endAppearance(bool animated);
    void beginDisappearance(bool animated);
    void endDisappearance(bool animated);
    bool isAppearing() const { return visibleState_; }

    // Cancels the screen's requests and stops its timers; done before it is destroyed, so
    // nothing calls back into a screen that is leaving.
    void shutDown();

    // Set by containers.
    void setNavigationControllerInternal(NavigationController* nav);

Q_SIGNALS:
    void navigationItemChanged();

protected:
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewDidAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewWillDisappear(bool animated) { Q_UNUSED(animated); }
    virtual void viewDidDisappear(bool animated) { Q_UNUSED(animated); }

private:
    bool loaded_ = false;
    bool visibleState_ = false;
    QString title_;
    QPointer<QWidget> left_;
    QPointer<QWidget> right_;
    QPointer<QWidget> titleView_;
    bool hidesBackButton_ = false;
    bool hidesBottomBar_ = false;
    TabBarItem tabBarItem_;
    QPointer<NavigationController> nav_;
    QPointer<ViewController> presented_;
    QPointer<ViewController> presenting_;
};
