// A screen's bar items: what replacing one does to the old, who owns them, and who is told.
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/ui/ViewController.h"

TEST(BarItems, ReplacingHidesTheOldOneAndAdoptsOnlyParentlessItems) {
    auto* screen = new ViewController;
    int changed = 0;
    QObject::connect(screen, &ViewController::navigationItemChanged, screen,
                     [&changed] { ++changed; });
    QWidget elsewhere;

    auto* first = new QPushButton;
    first->show();
    screen->setRightBarButton(first);
    EXPECT_EQ(screen->rightBarButton(), first);
    EXPECT_EQ(first->parent(), screen);

    // An item that already has a home keeps it.
    auto* second = new QPushButton(&elsewhere);
    screen->setRightBarButton(second);
    EXPECT_EQ(second->parent(), &elsewhere);
    EXPECT_TRUE(first->isHidden());
    EXPECT_EQ(screen->rightBarButton(), second);

    // Setting the same item again leaves it as it is.
    second->show();
    screen->setRightBarButton(second);
    EXPECT_FALSE(second->isHidden());

    auto* title = new QPushButton;
    screen->setTitleView(title);
    auto* left = new QPushButton;
    screen->setLeftBarButton(left);
    EXPECT_EQ(screen->titleView(), title);
    EXPECT_EQ(screen->leftBarButton(), left);
    EXPECT_EQ(screen->rightBarButton(), second);
    EXPECT_EQ(changed, 5);

    screen->setLeftBarButton(nullptr);
    EXPECT_EQ(screen->leftBarButton(), nullptr);
    EXPECT_TRUE(left->isHidden());

    // The items it shows go with the screen, even one parented elsewhere.
    QPointer<QWidget> shown(second);
    QPointer<QWidget> shownTitle(title);
    delete screen;
    EXPECT_TRUE(shown.isNull());
    EXPECT_TRUE(shownTitle.isNull());
}
