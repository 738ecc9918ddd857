#include "platform/ui/TabBarController.h"

#include <QResizeEvent>

#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBar.h"

TabBarController::TabBarController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("TabBarController"));
    bar_ = new TabBar(this);
    connect(bar_, &TabBar::itemClicked, this, [this](int index) {
        setSelectedIndex(index);
        Q_EMIT didSelectViewController(selectedViewController());
    });
}

TabBarController::~TabBarController() {
    for (const auto& c : controllers_) {
        if (c) {
            c->shutDown();
            delete c.data();
        }
    }
}

void TabBarController::setViewControllers(const QList<ViewController*>& controllers) {
    controllers_.clear();
    QList<TabBarItem> items;
    for (ViewController* c : controllers) {
        c->setParent(this);
        c->hide();
        controllers_.append(c);
        items.append(c->tabBarItem());
    }
    bar_->setItems(items);
    selected_ = -1;
    setSelectedIndex(controllers.isEmpty() ? -1 : 0);
}

QList<ViewController*> TabBarController::viewControllers() const {
    QList<ViewController*> result;
    for (const auto& c : controllers_)
        result.append(c.data());
    return result;
}

ViewController* TabBarController::selectedViewController() const {
    if (selected_ < 0 || selected_ >= controllers_.size())
        return nullptr;
    return controllers_[selected_].data();
}

void TabBarController::setSelectedIndex(int index) {
    if (index < 0 || index >= controllers_.size() || index == selected_)
        return;
    ViewController* old = selectedViewController();
    ViewController* next = controllers_[index].data();
    const bool onScreen = isAppearing();
    if (old && onScreen)
        old->beginDisappearance(false);
    if (next) {
        next->loadViewIfNeeded();
        if (onScreen)
            next->beginAppearance(false);
    }
    selected_ = index;
    bar_->setSelectedIndex(index);
    if (old) {
        old->hide();
        if (onScreen)
            old->endDisappearance(false);
    }
    layoutChildren();
    if (next) {
        next->show();
        bar_->raise();
        if (onScreen)
            next->endAppearance(false);
    }
}

void TabBarController::setBackgroundImage(const QString& imageName) {
    bar_->setBackgroundImageNamed(imageName);
}

void TabBarController::setSelectionIndicatorImage(const QString& imageName) {
    bar_->setSelectionIndicatorImageNamed(imageName);
}

void TabBarController::setTintColor(const QColor& color) {
    bar_->setTintColor(color);
}

bool TabBarController::isTabBarHidden() const {
    auto* nav = qobject_cast<NavigationController*>(selectedViewController());
    return nav && nav->wantsBottomBarHidden();
}

void TabBarController::childStackChanged() {
    layoutChildren();
}

void TabBarController::resizeEvent(QResizeEvent*) {
    layoutChildren();
}

void TabBarController::layoutChildren() {
    const bool hidden = isTabBarHidden();
    bar_->setGeometry(0, height() - kBarHeight, width(), kBarHeight);
    bar_->setVisible(!hidden);
    const QRect content(0, 0, width(), hidden ? height() : height() - kBarHeight);
    for (const auto& c : controllers_) {
        if (c)
            c->setGeometry(content);
    }
    bar_->raise();
}

void TabBarController::viewWillAppear(bool animated) {
    if (auto* c = selectedViewController())
        c->beginAppearance(animated);
}

void TabBarController::viewDidAppear(bool animated) {
    if (auto* c = selectedViewController())
        c->endAppearance(animated);
}
