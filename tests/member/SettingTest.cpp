// The settings screen: reading values shared with the reader, the switches, clearing the
// service's records and the bookmarks, and signing out.
#include <QFile>
#include <QPointer>
#include <QSlider>

#include "account/MyInfoViewController.h"
#include "app/SettingViewController.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "reader/BtnSetFontsizeViewController.h"
#include "reader/BtnSetLightViewController.h"
#include "reader/ReaderSettings.h"
#include "storage/BookDb.h"
#include "tests/member/MemberTestSupport.h"

using namespace membertest;
using testutil::waitUntil;

namespace {

class SettingTest : public MemberScreenTest {
protected:
    SettingViewController* open() {
        push(new MyInfoViewController());
        return push(new SettingViewController());
    }
    static UserDefaults& defaults() { return UserDefaults::standard(); }
    static void store(const QString& key, const QVariant& value) {
        if (value.isValid())
            defaults().setObject(key, value);
        else
            defaults().removeObjectForKey(key);
    }
    static int marks() {
        BookDb db;
        return int(db.selectAllMarkByBookId("b1").size() + db.selectAllMarkByBookId("b2").size());
    }
    static void seedMarks() {
        BookDb db;
        for (const char* book : {"b1", "b2"}) {
            db.addBookMark({{"book_id", book},
                            {"chapter_id", 3},
                            {"page_id", 2},
                            {"title", "第三章"},
                            {"create_time", "1800000000"}});
        }
        ASSERT_EQ(marks(), 2);
    }
};

TEST_F(SettingTest, StoredReadingValuesSelectTheControls) {
    struct Case {
        QVariant font, type, light;
        int fontSegment, styleSegment;
        double slider;
    };
    const Case cases[] = {
        // The first-launch defaults: the size as text.
        {QStringLiteral("18"), 1, QStringLiteral("100"), 1, 0, 100},
        {22, 2, QVariant(), 3, 1, 100},
        // A size that is none of the four selects no segment; any style but 1 is night.
        {15, 3, QStringLiteral("30"), -1, 1, 30},
        // Nothing stored: "中", and the day page the reader shows then.
        {QVariant(), QVariant(), QStringLiteral("0"), 1, 0, 0},
    };
    for (const Case& c : cases) {
        store("FontSizeId", c.font);
        store("ReadType", c.type);
        store("LightSizeId", c.light);
        SettingViewController* screen = open();
        EXPECT_EQ(screen->fontControl()->selectedSegmentIndex(), c.fontSegment)
            << c.font.toString().toStdString();
        EXPECT_EQ(screen->styleControl()->selectedSegmentIndex(), c.styleSegment)
            << c.type.toString().toStdString();
        EXPECT_DOUBLE_EQ(
            screen->lightSlider()->value() / double(SettingViewController::kSliderSteps), c.slider);
        shelfStack->popToRootViewController(false);
    }
}

TEST_F(SettingTest, ControlsStoreTheValuesInTheTypesTheReaderReads) {
    store("FontSizeId", QStringLiteral("18"));
    store("ReadType", 1);
    SettingViewController* screen = open();

    screen->fontControl()->buttonAt(3)->click();  // "极大"
    screen->styleControl()->buttonAt(1)->click(); // "夜间模式"
    screen->lightSlider()->setValue(4960);        // 49.6
    screen->wifiSwitch()->click();

    EXPECT_EQ(defaults().objectForKey("FontSizeId"), QVariant(22));
    defaults().reload(); // what was written reached the file, still a number
    const QVariant font = defaults().objectForKey("FontSizeId");
    EXPECT_NE(font.typeId(), QMetaType::QString);
    EXPECT_EQ(font.toInt(), 22);
    EXPECT_EQ(ReaderSettings::fontSize(font), 22);
    EXPECT_EQ(defaults().objectForKey("ReadType"), QVariant(2));
    EXPECT_EQ(ReaderSettings::readType(defaults().objectForKey("ReadType")), 2);
    EXPECT_EQ(defaults().objectForKey("LightSizeId"), QVariant(QStringLiteral("50")));
    EXPECT_DOUBLE_EQ(ReaderSettings::brightness(defaults().objectForKey("LightSizeId")), 50);
    EXPECT_EQ(defaults().objectForKey("is_open_wifi"), QVariant(true));
    EXPECT_EQ(screen->fontControl()->selectedSegmentIndex(), 3);

    screen->styleControl()->buttonAt(0)->click();
    screen->wifiSwitch()->click();
    screen->lightSlider()->setValue(4949);
    EXPECT_EQ(defaults().objectForKey("ReadType"), QVariant(1));
    EXPECT_EQ(defaults().objectForKey("is_open_wifi"), QVariant(false));
    EXPECT_EQ(defaults().objectForKey("LightSizeId"), QVariant(QStringLiteral("49")));

    // The update switch only logs: it stores nothing and starts off every time.
    defaults().synchronize();
    const QByteArray before = [&] {
        QFile f(defaults().filePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    screen->updateSwitch()->click();
    EXPECT_TRUE(screen->updateSwitch()->isChecked());
    defaults().synchronize();
    QFile after(defaults().filePath());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
    shelfStack->popToRootViewController(false);
    EXPECT_FALSE(open()->updateSwitch()->isChecked());
}

TEST_F(SettingTest, ChangesMadeInTheReaderShowWhenSettingsAppearAgain) {
    store("FontSizeId", 20);
    store("ReadType", 1);
    store("LightSizeId", QStringLiteral("80"));
    SettingViewController* screen = open();
    ASSERT_EQ(screen->fontControl()->selectedSegmentIndex(), 2);
    push(new ViewController());

    // The reader's popovers and its day/night button write the same keys.
    BtnSetFontsizeViewController font(nullptr);
    font.loadViewIfNeeded();
    font.touchUpInsideSegmentIndex(nullptr, 0);
    BtnSetLightViewController light(nullptr);
    light.moveSliderTo(20);
    defaults().setObject("ReadType", 2);

    shelfStack->popViewController(false);
    testutil::spin(10);
    EXPECT_EQ(screen->fontControl()->selectedSegmentIndex(), 0);
    EXPECT_EQ(screen->styleControl()->selectedSegmentIndex(), 1);
    EXPECT_EQ(screen->lightSlider()->value(), 20 * SettingViewController::kSliderSteps);
    // Showing the values wrote nothing back.
    EXPECT_EQ(defaults().objectForKey("LightSizeId"), QVariant(QStringLiteral("20")));
}

TEST_F(SettingTest, ClearingRecordsAsksTheServiceAndShowsItsMessage) {
    signIn(7);
    seedMarks();
    service.route("GET", "/site/delete_read_record",
                  FakeService::Reply::json(R"({"result":"ok","msg":"阅读记录已清除"})"));
    SettingViewController* screen = open();
    tap(screen->cellAt(2, 0));
    ASSERT_TRUE(waitForNotice(screen->notify(), 1));
    const auto asked = service.requests("/site/delete_read_record");
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.first().queryValue("book_id"), QStringLiteral("ALL"));
    EXPECT_EQ(asked.first().queryValue("token"), QStringLiteral("tok-7"));
    EXPECT_EQ(asked.first().header("Accept"), QByteArray("application/json"));
    EXPECT_EQ(screen->notify()->text(), QStringLiteral("阅读记录已清除"));
    EXPECT_EQ(screen->notify()->imageName(), QStringLiteral("read_refresh_yes"));
    EXPECT_EQ(marks(), 2) << "nothing local is cleared by this row";

    service.route("GET", "/site/delete_read_record",
                  FakeService::Reply::json(R"({"result":"error","msg":"请先登录"})"));
    testutil::waitUntil([&] { return !screen->notify()->isAnimating(); });
    screen->didSelectRow(2, 0);
    ASSERT_TRUE(waitForNotice(screen->notify(), 2));
    EXPECT_EQ(screen->notify()->text(), QStringLiteral("请先登录"));
    EXPECT_EQ(screen->notify()->imageName(), QStringLiteral("read_refresh_no"));

    service.route("GET", "/site/delete_read_record", FakeService::Reply::dropped());
    testutil::waitUntil([&] { return !screen->notify()->isAnimating(); });
    screen->didSelectRow(2, 0);
    ASSERT_TRUE(waitForNotice(screen->notify(), 3));
    EXPECT_EQ(screen->notify()->text(), L("The network is not good"));

    // A screen that leaves while the service thinks is never called back.
    FakeService::Reply slow = FakeService::Reply::json(R"({"result":"ok","msg":"x"})");
    slow.delayMs = 300;
    service.route("GET", "/site/delete_read_record", slow);
    const qsizetype asks = service.requests("/site/delete_read_record").size();
    screen->didSelectRow(2, 0);
    ASSERT_TRUE(
        waitUntil([&] { return service.requests("/site/delete_read_record").size() > asks; }));
    QPointer<SettingViewController> watch(screen);
    shelfStack->popViewController(false);
    ASSERT_TRUE(waitUntil([&] { return watch.isNull(); }));
    testutil::spin(500);
}

TEST_F(SettingTest, BookmarksAreClearedOnlyAfterTheConfirmation) {
    seedMarks();
    SettingViewController* screen = open();
    tap(screen->cellAt(2, 1));
    AlertView* alert = screen->bookmarkAlert();
    ASSERT_NE(alert, nullptr);
    ASSERT_EQ(alert->numberOfButtons(), 2);
    alert->clickButtonAtIndex(0); // cancel
    ASSERT_TRUE(waitUntil([&] { return screen->bookmarkAlert() == nullptr; }));
    EXPECT_EQ(marks(), 2);
    EXPECT_EQ(screen->notify()->displayCount(), 0);

    screen->didSelectRow(2, 1);
    ASSERT_NE(screen->bookmarkAlert(), nullptr);
    screen->bookmarkAlert()->clickButtonAtIndex(1);
    EXPECT_EQ(marks(), 0);
    EXPECT_EQ(screen->notify()->text(), QStringLiteral("清除成功"));
    EXPECT_EQ(screen->notify()->imageName(), QStringLiteral("read_refresh_yes"));
}

TEST_F(SettingTest, SignOutRefusedKeepsTheUserAndAcceptedShowsTheBookshelf) {
    signIn(9, QStringLiteral("13800000009"));
    service.route("GET", "/site/logout", FakeService::Reply::json(R"({"result":"error"})"));
    SettingViewController* screen = open();
    screen->quitButton()->click();
    const QList<ProgressHUD*> shown = window->findChildren<ProgressHUD*>();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first()->labelText(), QStringLiteral("正在退出..."));
    ASSERT_TRUE(service.waitForRequests(1));
    ASSERT_TRUE(waitUntil([&] { return huds(window.get()) == 0; }));
    EXPECT_EQ(service.requests("/site/logout").first().queryValue("token"),
              QStringLiteral("tok-9"));
    defaults().reload();
    EXPECT_EQ(UserStore::token(), QStringLiteral("tok-9"));
    EXPECT_EQ(UserStore::userId(), QStringLiteral("9"));
    EXPECT_EQ(shelfStack->topViewController(), screen);

    // A dead network: a notice, and still signed in.
    service.route("GET", "/site/logout", FakeService::Reply::dropped());
    screen->actionBtn(2);
    ASSERT_TRUE(waitForNotice(screen->notify(), 1));
    EXPECT_EQ(screen->notify()->text(), L("The network is not good"));
    EXPECT_TRUE(UserStore::isSignedIn());
    EXPECT_EQ(huds(window.get()), 0);

    service.route("GET", "/site/logout", FakeService::Reply::json(R"({"result":"ok"})"));
    tabs->setSelectedIndex(0);
    QPointer<SettingViewController> watch(screen);
    screen->actionBtn(2);
    ASSERT_TRUE(waitUntil([&] { return watch.isNull(); }));
    defaults().reload();
    EXPECT_FALSE(defaults().contains("user_token"));
    EXPECT_FALSE(defaults().contains("user_info"));
    EXPECT_EQ(UserStore::currentAccount(), QStringLiteral("13800000009"));
    EXPECT_EQ(tabs->selectedIndex(), 0);
    ASSERT_EQ(shelfStack->viewControllers().size(), 1);
    auto* shelf = qobject_cast<FirstViewController*>(shelfStack->topViewController());
    ASSERT_NE(shelf, nullptr);
    EXPECT_TRUE(shelf->isAppearing());
    EXPECT_FALSE(tabs->isTabBarHidden());
}

TEST_F(SettingTest, BackReturnsToTheMemberCenter) {
    auto* center = push(new MyInfoViewController());
    push(new ViewController());
    auto* screen = push(new SettingViewController());
    screen->btnBack()->click();
    ASSERT_TRUE(waitUntil([&] { return shelfStack->topViewController() == center; }));
}

TEST_F(SettingTest, ASignOutCutShortByLeavingLeavesNoOverlayAndTheUserSignedIn) {
    signIn(12);
    FakeService::Reply slow = FakeService::Reply::json(R"({"result":"ok"})");
    slow.delayMs = 300;
    service.route("GET", "/site/logout", slow);
    SettingViewController* screen = open();
    screen->actionBtn(2);
    ASSERT_TRUE(waitUntil([&] { return service.requests("/site/logout").size() == 1; }));
    QPointer<SettingViewController> watch(screen);
    shelfStack->popViewController(false);
    ASSERT_TRUE(waitUntil([&] { return watch.isNull(); }));
    testutil::spin(500);
    EXPECT_EQ(huds(window.get()), 0);
    EXPECT_TRUE(UserStore::isSignedIn());
}

} // namespace
