// The app-store version check in its bookshelf and member-center forms.
#include <QDesktopServices>
#include <gtest/gtest.h>

#include "app/VersionCheck.h"
#include "engines/HttpRequest.h"
#include "platform/Application.h"
#include "platform/Localizable.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "service/ServiceConfig.h"
#include "tests/support/FakeService.h"
#include "tests/support/TestUtil.h"

namespace {

// Takes the URLs the application asks the system to open.
class UrlCatcher final : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

class VersionCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        UserDefaults::standard().reload();
        window.makeKeyAndVisible();
        screen = new QWidget(&window);
        screen->setGeometry(Window::applicationFrame());
        screen->show();
        oldLookup = ServiceConfig::lookupBase();
        ServiceConfig::setLookupBase(service.baseUrl());
        QDesktopServices::setUrlHandler("https", &catcher, "open");
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler("https");
        ServiceConfig::setLookupBase(oldLookup);
        for (AlertView* a : AlertView::visibleAlerts())
            a->dismiss();
        UserDefaults::standard().removeObjectForKey("nomore_remind");
    }

    void answer(const QByteArray& json) {
        service.route("GET", "/lookup", FakeService::Reply::json(json));
    }
    static QByteArray store(const QString& version) {
        return QStringLiteral(R"({"resultCount":1,"results":[{"version":"%1",)"
                              R"("trackViewUrl":"https://store.example/app/folia",)"
                              R"("description":"夜间模式更护眼"}]})")
            .arg(version)
            .toUtf8();
    }
    // Runs one check to its end; the alert it shows, if any.
    AlertView* run(VersionCheck& check) {
        bool done = false;
        QObject::connect(&check, &VersionCheck::finished, &check, [&done] { done = true; });
        EXPECT_TRUE(check.start());
        EXPECT_TRUE(testutil::waitUntil([&] { return done; }));
        const QList<AlertView*> alerts = AlertView::visibleAlerts();
        return alerts.isEmpty() ? nullptr : alerts.last();
    }

    testutil::ScopedHome home;
    FakeService service;
    Window window;
    QWidget* screen = nullptr;
    QString oldLookup;
    UrlCatcher catcher;
};

TEST_F(VersionCheckTest, EqualVersionsBookshelfSaysNothingMemberCenterSaysItIsLatest) {
    answer(store(Application::shortVersionString()));
    VersionCheck shelf(VersionCheck::Form::Bookshelf, screen);
    EXPECT_EQ(run(shelf), nullptr);
    ASSERT_EQ(service.requests("/lookup").size(), 1);
    EXPECT_EQ(service.requests("/lookup").first().queryValue("id"), ServiceConfig::storeId());
    EXPECT_TRUE(service.requests("/lookup").first().header("Accept").isEmpty());

    VersionCheck member(VersionCheck::Form::MemberCenter, screen);
    AlertView* alert = run(member);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), QStringLiteral("提示"));
    EXPECT_EQ(alert->message(), QStringLiteral("当前已经是最新的版本了"));
    EXPECT_EQ(alert->numberOfButtons(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), QStringLiteral("知道了"));
    alert->clickButtonAtIndex(0);
    EXPECT_FALSE(UserDefaults::standard().contains("nomore_remind"));
    EXPECT_TRUE(catcher.opened.isEmpty());
}

TEST_F(VersionCheckTest, ANewerVersionPromptsInBothForms) {
    answer(store("9.9.9"));
    VersionCheck shelf(VersionCheck::Form::Bookshelf, screen);
    AlertView* alert = run(shelf);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), QStringLiteral("升级提醒"));
    EXPECT_EQ(alert->message(), QStringLiteral("夜间模式更护眼"));
    ASSERT_EQ(alert->numberOfButtons(), 3);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), QStringLiteral("立即更新"));
    EXPECT_EQ(alert->buttonTitleAtIndex(1), QStringLiteral("稍候再说"));
    EXPECT_EQ(alert->buttonTitleAtIndex(2), QStringLiteral("不再提醒"));
    EXPECT_EQ(shelf.appUrl(), QStringLiteral("https://store.example/app/folia"));
    alert->clickButtonAtIndex(0);
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.first(), QUrl("https://store.example/app/folia"));

    VersionCheck member(VersionCheck::Form::MemberCenter, screen);
    alert = run(member);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), QStringLiteral("V9.9.9升级提醒"));
    EXPECT_EQ(alert->message(), QStringLiteral("发现新版本,是否更新？"));
    ASSERT_EQ(alert->numberOfButtons(), 2);
    EXPECT_EQ(alert->buttonTitleAtIndex(1), QStringLiteral("稍候再说"));
}

TEST_F(VersionCheckTest, TheButtonsSwitchTheAutomaticCheckOffAndOnAgain) {
    answer(store("2.0"));
    UserDefaults& defaults = UserDefaults::standard();
    {
        VersionCheck shelf(VersionCheck::Form::Bookshelf, screen);
        AlertView* alert = run(shelf);
        ASSERT_NE(alert, nullptr);
        alert->clickButtonAtIndex(2);
    }
    defaults.reload(); // written through to the file
    EXPECT_TRUE(defaults.boolForKey("nomore_remind"));
    {
        // Switched off: the bookshelf does not even ask.
        VersionCheck shelf(VersionCheck::Form::Bookshelf, screen);
        EXPECT_FALSE(shelf.start());
        testutil::spin(100);
        EXPECT_EQ(service.requests("/lookup").size(), 1);
    }
    {
        // The member center asks regardless, and "稍候再说" switches it back on.
        VersionCheck member(VersionCheck::Form::MemberCenter, screen);
        AlertView* alert = run(member);
        ASSERT_NE(alert, nullptr);
        alert->clickButtonAtIndex(1);
    }
    defaults.reload();
    EXPECT_TRUE(defaults.contains("nomore_remind"));
    EXPECT_FALSE(defaults.boolForKey("nomore_remind"));
}

TEST_F(VersionCheckTest, EmptyOrUnusableResultsShowNothing) {
    for (const QByteArray& body :
         {QByteArray(R"({"resultCount":0,"results":[]})"), QByteArray("not json"),
          QByteArray(R"({"results":[{"trackViewUrl":"https://store.example/x"}]})")}) {
        answer(body);
        VersionCheck shelf(VersionCheck::Form::Bookshelf, screen);
        EXPECT_EQ(run(shelf), nullptr) << body.constData();
        VersionCheck member(VersionCheck::Form::MemberCenter, screen);
        EXPECT_EQ(run(member), nullptr) << body.constData();
    }
}

TEST_F(VersionCheckTest, ANetworkFailureIsLoggedOnTheShelfAndNoticedInTheMemberCenter) {
    service.route("GET", "/lookup", FakeService::Reply::dropped());
    VersionCheck shelf(VersionCheck::Form::Bookshelf, screen);
    EXPECT_EQ(run(shelf), nullptr);

    NoticeView notice(screen);
    VersionCheck member(VersionCheck::Form::MemberCenter, screen, &notice);
    EXPECT_EQ(run(member), nullptr);
    EXPECT_EQ(notice.displayCount(), 1);
    EXPECT_EQ(notice.text(), L("The network is not good"));
    EXPECT_EQ(notice.imageName(), QStringLiteral("read_refresh_no"));
}

TEST_F(VersionCheckTest, AScreenThatGoesAwayTakesItsCheckAlong) {
    FakeService::Reply slow = FakeService::Reply::json(store("3.0"));
    slow.delayMs = 300;
    service.route("GET", "/lookup", slow);
    auto* owner = new QObject();
    auto* check = new VersionCheck(VersionCheck::Form::MemberCenter, owner);
    check->start();
    ASSERT_TRUE(service.waitForRequests(1));
    delete owner;
    testutil::spin(600);
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
}

// A check started again while the first is on its way: the first is cancelled and freed, not
// kept until the screen goes; only the second answers.
TEST_F(VersionCheckTest, ARestartedCheckFreesTheOneItReplaces) {
    FakeService::Reply slow = FakeService::Reply::json(store("3.0"));
    slow.delayMs = 400;
    service.route("GET", "/lookup", slow);
    VersionCheck check(VersionCheck::Form::Bookshelf, screen);
    ASSERT_TRUE(check.start());
    QPointer<HttpRequest> first = check.asiHttpRequest();
    ASSERT_FALSE(first.isNull());
    run(check);
    EXPECT_TRUE(testutil::waitUntil([&] { return first.isNull(); }));
}

} // namespace

#include "VersionCheckTest.moc"
