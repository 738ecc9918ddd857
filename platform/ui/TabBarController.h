#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include "platform/ui/ViewController.h"

class TabBar;

// Tabs of screens (navigation stacks) with a 49-point tab bar at the bottom. The bar goes away
// while the selected stack shows a screen pushed with hidesBottomBarWhenPushed.
class TabBarController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabBarController)

public:
    static constexpr int kBarHeight = 49;

    explicit TabBarController(QWidget* parent = nullptr);
    ~TabBarController() override;

    void setViewControllers(const QList<ViewController*>& controllers);
    QList<ViewController*> viewControllers() const;
    ViewController* selectedViewController() const;
    int selectedIndex() const { return selected_; }
    void setSelectedIndex(int index);

    // The bar's look: background pattern and selection indicator images, item text colour.
    void setBackgroundImage(const QString& imageName);
    void setSelectionIndicatorImage(const QString& imageName);
    void setTintColor(const QColor& color);
    TabBar* tabBar() const { return bar_; }
    bool isTabBarHidden() const;

    // Called by navigation stacks when their screens change.
    void childStackChanged();

Q_SIGNALS:
    void didSelectViewController(ViewController* controller);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

private:
    void layoutChildren();

    QList<QPointer<ViewController>> controllers_;
    TabBar* bar_ = nullptr;
    int selected_ = -1;
};
