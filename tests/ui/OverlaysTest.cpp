// Overlays and views that screens build from: the notice, the progress overlay, alerts, sheets
// and the background factories.
#include <QPointer>
#include <gtest/gtest.h>

#include "app/tooles.h"
#include "platform/Localizable.h"
#include "platform/Timing.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Window.h"
#include "tests/support/TestUtil.h"

using testutil::waitUntil;

namespace {

class OverlaysTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = new Window();
        window->makeKeyAndVisible();
    }
    void TearDown() override { delete window; }

    int hudCount() const { return int(window->findChildren<ProgressHUD*>().size()); }

    Window* window = nullptr;
};

TEST_F(OverlaysTest, ANoticeIgnoresASecondDisplayWhileItStillAnimates) {
    QWidget screen(window);
    screen.setGeometry(0, 20, 320, 548);
    screen.show();
    NoticeView notice(&screen, 100);
    notice.showBDK(QStringLiteral("添加书签成功"), QStringLiteral("read_refresh_yes"));
    notice.displayNotification();
    EXPECT_TRUE(notice.isAnimating());
    EXPECT_TRUE(notice.isVisible());
    notice.showBDK(QStringLiteral("删除书签成功"), QStringLiteral("read_refresh_yes"));
    notice.displayNotification();
    EXPECT_EQ(notice.displayCount(), 1);

    // Placed 100 points above the screen's centre.
    EXPECT_NEAR(notice.geometry().center().y(), screen.rect().center().y() - 100, 1);

    ASSERT_TRUE(waitUntil([&] { return !notice.isAnimating(); }));
    EXPECT_FALSE(notice.isVisible());
    notice.displayNotification();
    EXPECT_EQ(notice.displayCount(), 2);
    EXPECT_EQ(notice.text(), QStringLiteral("删除书签成功"));
}

TEST_F(OverlaysTest, ANoticeHoldsForASecondAtFullOpacityBetweenItsFades) {
    QWidget screen(window);
    screen.resize(320, 548);
    NoticeView notice(&screen);
    notice.showNetworkNotice();
    EXPECT_EQ(notice.text(), L("The network is not good"));
    EXPECT_EQ(notice.imageName(), QStringLiteral("read_refresh_no"));
    // The fade-in is done on the next turn; the hold keeps it up and animating.
    Timing::setSpeed(1);
    QCoreApplication::processEvents();
    testutil::spin(30);
    EXPECT_DOUBLE_EQ(Animation::opacity(&notice), NoticeView::kOpacity);
    EXPECT_TRUE(notice.isAnimating());
    Timing::setSpeed(0);
    notice.hideNotice();
    EXPECT_DOUBLE_EQ(Animation::opacity(&notice), 0.0);
}

TEST_F(OverlaysTest, RemoveHudTakesAwayWhatShowHudPutUp) {
    tooles::showHUD(QStringLiteral("正在登录..."));
    ASSERT_EQ(hudCount(), 1);
    auto* hud = window->findChild<ProgressHUD*>();
    EXPECT_EQ(hud->labelText(), QStringLiteral("正在登录..."));
    EXPECT_EQ(hud->geometry(), window->rect());
    tooles::removeHUD();
    ASSERT_TRUE(waitUntil([&] { return hudCount() == 0; }));

    // A removeHUD with nothing showing is harmless.
    tooles::removeHUD();

    // Two showHUD in a row leave no overlay stranded once removeHUD runs.
    tooles::showHUD(QStringLiteral("一"));
    tooles::showHUD(QString());
    tooles::removeHUD();
    EXPECT_TRUE(waitUntil([&] { return hudCount() == 0; }));
}

class Delegate final : public QObject, public AlertViewDelegate {
public:
    void alertViewClickedButtonAtIndex(AlertView* alert, int index) override {
        clicks.append({alert->tag(), index});
    }
    QList<QPair<int, int>> clicks;
};

TEST_F(OverlaysTest, AlertsTellTheirDelegateTheIndexUnlessTheDelegateIsGone) {
    Delegate delegate;
    auto* alert =
        new AlertView(QStringLiteral("提示"), QStringLiteral("你确定要提交当前页面的错误报告吗？"),
                      &delegate, QStringLiteral("取消"), {QStringLiteral("确定")});
    alert->setTag(7);
    alert->setOffset(QPoint(0, -20));
    alert->show();
    ASSERT_EQ(AlertView::visibleAlerts(), QList<AlertView*>{alert});
    auto* panel = alert->findChild<QWidget*>(QStringLiteral("alertPanel"));
    EXPECT_EQ(panel->geometry().center().y(), window->rect().center().y() - 20);
    QPointer<AlertView> watch(alert);
    alert->findChild<Button*>(QStringLiteral("alertButton1"))->click();
    EXPECT_EQ(delegate.clicks, (QList<QPair<int, int>>{{7, 1}}));
    // A second tap while it closes counts for nothing.
    alert->clickButtonAtIndex(0);
    EXPECT_EQ(delegate.clicks.size(), 1);
    ASSERT_TRUE(waitUntil([&] { return watch.isNull(); }));

    auto* gone = new Delegate();
    auto* orphan = new AlertView(QString(), QStringLiteral("m"), gone, QStringLiteral("好"));
    orphan->show();
    delete gone;
    orphan->clickButtonAtIndex(0); // must not reach the deleted delegate
    SUCCEED();
}

TEST_F(OverlaysTest, MsgBoxShowsTheMessageWithOneButtonAndTag9999) {
    tooles::MsgBox(QStringLiteral("验证码已发送"));
    const QList<AlertView*> alerts = AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->message(), QStringLiteral("验证码已发送"));
    EXPECT_EQ(alerts[0]->numberOfButtons(), 1);
    EXPECT_EQ(alerts[0]->tag(), 9999);
    alerts[0]->clickButtonAtIndex(0);
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
}

TEST_F(OverlaysTest, ActionSheetIndexesRunDestructiveOthersThenCancel) {
    QList<int> clicked;
    auto* sheet =
        new ActionSheet(QString(), nullptr, QStringLiteral("取消"), QStringLiteral("删除"),
                        {QStringLiteral("拍照"), QStringLiteral("相册")});
    sheet->setClickHandler(window, [&](ActionSheet*, int index) { clicked.append(index); });
    sheet->show();
    EXPECT_EQ(sheet->destructiveButtonIndex(), 0);
    EXPECT_EQ(sheet->buttonTitleAtIndex(2), QStringLiteral("相册"));
    EXPECT_EQ(sheet->cancelButtonIndex(), 3);
    sheet->clickButtonAtIndex(3);
    EXPECT_EQ(clicked, QList<int>{3});
    EXPECT_TRUE(ActionSheet::visibleSheets().isEmpty());
}

TEST(ViewFactoriesTest, BackgroundPanelsLeaveRoomForTheBars) {
    const int h = Window::screenHeight();
    std::unique_ptr<QWidget> withTab(tooles::bgView(true, true));
    auto* panel = withTab->findChild<ImageView*>(QStringLiteral("contentPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(withTab->size(), QSize(320, h));
    EXPECT_EQ(panel->geometry(), QRect(5, 4, 310, h - 44 - 49 - 20 - 8));
    std::unique_ptr<QWidget> noTab(tooles::bgView(true, false));
    EXPECT_EQ(noTab->findChild<ImageView*>(QStringLiteral("contentPanel"))->height(),
              h - 44 - 20 - 8);
    std::unique_ptr<QWidget> full(tooles::bgView(false, true));
    EXPECT_EQ(full->findChild<ImageView*>(QStringLiteral("contentPanel"))->height(), h);
}

TEST(ViewFactoriesTest, ACreatedButtonSendsItsTagToTheAction) {
    QObject target;
    QList<int> tags;
    std::unique_ptr<Button> b(tooles::createButtonWithTitle(
        QStringLiteral("编辑"), Qt::white, 14, &target, [&](int tag) { tags.append(tag); },
        QRect(270, 6, 44, 32), QStringLiteral("public_toolBg_Button"), QString(), 2));
    b->click();
    b->setTag(5);
    b->click();
    EXPECT_EQ(tags, (QList<int>{2, 5}));
}

} // namespace
