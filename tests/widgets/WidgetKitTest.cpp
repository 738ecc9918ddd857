#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <gtest/gtest.h>

#include "tests/support/TestUtil.h"
#include "widgets/CustomSegmentedControl.h"
#include "widgets/GMGridView.h"
#include "widgets/GMGridViewCell.h"
#include "widgets/SVSegmentedControl.h"
#include "widgets/WEPopoverController.h"

namespace {

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos) {
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void tap(QWidget* widget, const QPoint& pos) {
    sendMouse(widget, QEvent::MouseButtonPress, pos);
    sendMouse(widget, QEvent::MouseButtonRelease, pos);
}

// --- grid

struct Shelf : GMGridViewDataSource, GMGridViewActionDelegate {
    int count = 7;
    QList<int> deleted;
    QList<int> tapped;
    int numberOfItemsInGMGridView(GMGridView*) override { return count; }
    QSize sizeForItemsInGMGridView(GMGridView*) override { return {65, 90}; }
    GMGridViewCell* GMGridViewCellForItemAtIndex(GMGridView*, int) override {
        return new GMGridViewCell;
    }
    void GMGridViewDeleteItemAtIndex(GMGridView*, int index) override {
        deleted.append(index);
        --count;
    }
    void GMGridViewDidTapOnItemAtIndex(GMGridView*, int index) override { tapped.append(index); }
};

class GMGridViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.resize(320, 480);
        grid.setItemSpacing(30);
        grid.setMinEdgeInsets(QMargins(10, 15, 10, 30));
        grid.setDataSource(&shelf);
        grid.setActionDelegate(&shelf);
        grid.show();
        grid.reloadData();
    }
    Shelf shelf;
    GMGridView grid;
};

TEST_F(GMGridViewTest, ThreeCentredItemsToARowAndATapReportsItsIndex) {
    EXPECT_EQ(grid.columns(), 3);
    EXPECT_EQ(grid.rectForItemAtIndex(0), QRect(32, 15, 65, 90));
    EXPECT_EQ(grid.rectForItemAtIndex(2).right(), 32 + 3 * 65 + 2 * 30 - 1);
    EXPECT_EQ(grid.rectForItemAtIndex(3), QRect(32, 15 + 120, 65, 90));
    EXPECT_EQ(grid.cellForItemAtIndex(4)->geometry(), grid.rectForItemAtIndex(4));
    tap(grid.cellForItemAtIndex(5), QPoint(10, 10));
    EXPECT_EQ(shelf.tapped, QList<int>{5});
}

TEST_F(GMGridViewTest, EditingShowsDeleteIconsAndATapDeletesThatItem) {
    EXPECT_EQ(grid.cellForItemAtIndex(0)->deleteButton(), nullptr);
    grid.setEditing(true);
    for (int i = 0; i < grid.numberOfItems(); ++i) {
        ASSERT_NE(grid.cellForItemAtIndex(i)->deleteButton(), nullptr);
        EXPECT_TRUE(grid.cellForItemAtIndex(i)->deleteButton()->isVisible()) << i;
    }
    GMGridViewCell* fourth = grid.cellForItemAtIndex(4);
    GMGridViewCell* third = grid.cellForItemAtIndex(3);
    third->deleteButton()->click();
    EXPECT_EQ(shelf.deleted, QList<int>{3});
    EXPECT_EQ(grid.numberOfItems(), 6);
    EXPECT_EQ(grid.cellForItemAtIndex(3), fourth);
    EXPECT_EQ(fourth->geometry(), grid.rectForItemAtIndex(3));

    grid.setEditing(false);
    EXPECT_FALSE(fourth->deleteButton()->isVisible());
}

// --- segmented controls

TEST(SVSegmentedControlTest, ATapSelectsTheTouchedSegmentAndReportsIt) {
    SVSegmentedControl control({QStringLiteral("点击排行"), QStringLiteral("收藏排行")});
    control.resize(200, 32);
    control.show();
    QList<int> reported;
    QObject::connect(&control, &SVSegmentedControl::valueChanged,
                     [&](int index) { reported.append(index); });
    tap(&control, QPoint(150, 16));
    EXPECT_EQ(control.selectedIndex(), 1);
    EXPECT_EQ(reported, QList<int>{1});
    EXPECT_DOUBLE_EQ(control.thumbRect().center().x(), 150); // under the second half
    tap(&control, QPoint(160, 16)); // the same segment again: no change to report
    EXPECT_EQ(reported, QList<int>{1});
    control.setSelectedIndex(0);
    EXPECT_EQ(control.selectedIndex(), 0);
    EXPECT_EQ(reported, QList<int>{1});
}

struct Segments : CustomSegmentedControlDelegate {
    QList<QPair<int, int>> touches; // tag, index
    QAbstractButton* buttonFor(CustomSegmentedControl*, int index) override {
        return new QPushButton(QString::number(index));
    }
    void touchUpInsideSegmentIndex(CustomSegmentedControl* control, int index) override {
        touches.append({control->tag(), index});
    }
};

TEST(CustomSegmentedControlTest, ATouchIsReportedWithTheTagAndSelectsThatSegment) {
    Segments delegate;
    QPixmap divider(1, 27);
    divider.fill(Qt::black);
    CustomSegmentedControl control(4, QSize(45, 27), divider, 9001, &delegate);
    control.setSelectedSegmentIndex(1);
    control.buttonAt(2)->click();
    EXPECT_EQ(delegate.touches, (QList<QPair<int, int>>{{9001, 2}}));
    EXPECT_EQ(control.selectedSegmentIndex(), 2);
    EXPECT_FALSE(control.buttonAt(1)->isChecked());
}

TEST(CustomSegmentedControlTest, CapsShowOnlyAtTheOuterEnds) {
    // A 9-point image: red 4-point caps around a blue middle.
    QImage source(9, 4, QImage::Format_ARGB32);
    source.fill(Qt::blue);
    for (int y = 0; y < 4; ++y) {
        for (int x : {0, 1, 2, 3, 5, 6, 7, 8})
            source.setPixelColor(x, y, x < 4 ? Qt::red : Qt::red);
    }
    const QPixmap image = QPixmap::fromImage(source);
    auto colourAt = [](const QPixmap& pm, int x) { return pm.toImage().pixelColor(x, 1); };
    using C = CustomSegmentedControl;
    const QPixmap first = C::image(image, C::CapLeft, 4, 30);
    const QPixmap middle = C::image(image, C::CapMiddle, 4, 30);
    const QPixmap last = C::image(image, C::CapRight, 4, 30);
    ASSERT_EQ(first.width(), 30);
    EXPECT_EQ(colourAt(first, 0), QColor(Qt::red));
    EXPECT_EQ(colourAt(first, 29), QColor(Qt::blue));
    EXPECT_EQ(colourAt(middle, 0), QColor(Qt::blue));
    EXPECT_EQ(colourAt(middle, 29), QColor(Qt::blue));
    EXPECT_EQ(colourAt(last, 0), QColor(Qt::blue));
    EXPECT_EQ(colourAt(last, 29), QColor(Qt::red));
}

// --- popover

struct PopoverOwner : WEPopoverControllerDelegate {
    bool allow = true;
    int asked = 0;
    int dismissed = 0;
    bool popoverControllerShouldDismissPopover(WEPopoverController*) override {
        ++asked;
        return allow;
    }
    void popoverControllerDidDismissPopover(WEPopoverController*) override { ++dismissed; }
};

class WEPopoverControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(320, 480);
        window.show();
        auto* content = new QWidget;
        popover = std::make_unique<WEPopoverController>(content);
        popover->setDelegate(&owner);
        popover->setPopoverContentSize(QSize(312, 54));
        popover->setContainerViewProperties(WEPopoverContainerViewProperties::standard());
        // A toolbar button at the bottom of the screen.
        popover->presentPopoverFromRect(QRect(128, 436, 64, 44), &window,
                                        WEPopoverContainerView::ArrowAny, true);
    }
    QWidget window;
    PopoverOwner owner;
    std::unique_ptr<WEPopoverController> popover;
};

TEST_F(WEPopoverControllerTest, PointsDownAtAToolbarButtonAndFitsTheScreen) {
    ASSERT_TRUE(popover->isPopoverVisible());
    EXPECT_EQ(popover->popoverArrowDirection(), WEPopoverContainerView::ArrowDown);
    const QRect frame = popover->containerView()->geometry();
    EXPECT_TRUE(window.rect().contains(frame));
    EXPECT_LE(frame.bottom(), 436);
    EXPECT_EQ(popover->contentView()->size(), QSize(312, 54));
    const QRect arrow = popover->containerView()->arrowRect().translated(frame.topLeft());
    EXPECT_NEAR(arrow.center().x(), 160, 2);
}

TEST_F(WEPopoverControllerTest, ATapOutsideDismissesItAndTellsTheDelegate) {
    tap(popover->contentView(), QPoint(5, 5));
    EXPECT_TRUE(popover->isPopoverVisible()) << "a tap inside keeps it open";
    owner.allow = false;
    tap(&window, QPoint(10, 10));
    EXPECT_TRUE(popover->isPopoverVisible());
    EXPECT_EQ(owner.asked, 1);
    owner.allow = true;
    tap(&window, QPoint(10, 10));
    EXPECT_FALSE(popover->isPopoverVisible());
    EXPECT_EQ(owner.dismissed, 1);
    EXPECT_TRUE(testutil::waitUntil([this] { return !popover->containerView()->isVisible(); }));
}

TEST_F(WEPopoverControllerTest, PassthroughViewsGetTheirTapsAndTheOwnerDismissesUnasked) {
    auto* toolbar = new QPushButton(&window);
    toolbar->setGeometry(0, 436, 320, 44);
    toolbar->show();
    int clicks = 0;
    QObject::connect(toolbar, &QPushButton::clicked, [&] { ++clicks; });
    popover->setPassthroughViews({toolbar});
    tap(toolbar, QPoint(30, 20));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(popover->isPopoverVisible());
    EXPECT_EQ(owner.asked, 0);

    // The owner may dismiss it without being asked, and is not told.
    popover->dismissPopoverAnimated(false);
    EXPECT_FALSE(popover->isPopoverVisible());
    EXPECT_FALSE(popover->containerView()->isVisible());
    tap(&window, QPoint(10, 10));
    EXPECT_EQ(owner.asked, 0);
    EXPECT_EQ(owner.dismissed, 0);
}

// Page text must not show through the panel: neither under the content (even a content that
// paints a white page of its own) nor in the panel's rim around it.
TEST(WEPopoverPanelTest, ThePanelHidesWhatLiesBehindIt) {
    QWidget window;
    window.resize(320, 480);
    window.show();
    auto* content = new QWidget;
    content->setAutoFillBackground(true);
    QPalette palette = content->palette();
    palette.setColor(QPalette::Window, Qt::white);
    content->setPalette(palette);
    WEPopoverController popover(content);
    popover.setPopoverContentSize(QSize(312, 54));
    popover.setContainerViewProperties(WEPopoverContainerViewProperties::standard());
    popover.presentPopoverFromRect(QRect(128, 436, 64, 44), &window,
                                   WEPopoverContainerView::ArrowAny, false);
    WEPopoverContainerView* container = popover.containerView();
    ASSERT_NE(container, nullptr);
    // Drawn onto nothing, so that whatever the panel leaves see-through stays so.
    QImage shot(container->size(), QImage::Format_ARGB32);
    shot.fill(Qt::transparent);
    container->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    auto at = [&](const QPoint& p) { return shot.pixelColor(p); };
    const QRect panel = container->panelRect();
    const QColor middle = at(container->contentRect().center());
    EXPECT_EQ(middle.alpha(), 255);
    EXPECT_LT(middle.lightness(), 100) << "the content sits on the dark panel";
    for (const QPoint& p :
         {QPoint(panel.center().x(), panel.top() + 2),
          QPoint(panel.center().x(), panel.bottom() - 1),
          QPoint(panel.center().x(), panel.bottom() + 3),
          QPoint(panel.left() + 2, panel.center().y()), container->arrowRect().center()})
        EXPECT_EQ(at(p).alpha(), 255) << p.x() << "," << p.y();
}

} // namespace
