// Push registration and pushed alerts.
#include <gtest/gtest.h>

#include "app/AppDelegate.h"
#include "platform/Application.h"
#include "platform/PushNotifications.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Window.h"
#include "service/ServiceConfig.h"
#include "tests/support/FakeService.h"
#include "engines/HttpRequest.h"
#include "tests/app/LogCapture.h"
#include "tests/support/TestUtil.h"

namespace {

TEST(DeviceTokenTest, TheServiceGetsTheTokenAsOneRunOfHexDigits) {
    EXPECT_EQ(AppDelegate::deviceTokenText(QStringLiteral("<0a1b2c3d 4e5f6071 8293a4b5>")),
              QStringLiteral("0a1b2c3d4e5f60718293a4b5"));
    EXPECT_EQ(AppDelegate::deviceTokenText(QString()), QString());

    QByteArray token;
    for (int i = 0; i < 32; ++i)
        token.append(char(i * 7 + 3));
    const QString description = PushNotifications::tokenDescription(token);
    EXPECT_TRUE(description.startsWith(QStringLiteral("<03")));
    EXPECT_EQ(description.count(QLatin1Char(' ')), 7);
    const QString text = AppDelegate::deviceTokenText(description);
    EXPECT_EQ(text.size(), 64);
    EXPECT_EQ(text, QString::fromLatin1(token.toHex()));
    EXPECT_EQ(PushNotifications::tokenFromHex(description), token);
    EXPECT_TRUE(PushNotifications::tokenFromHex(QStringLiteral("0a1")).isEmpty());
    EXPECT_TRUE(PushNotifications::tokenFromHex(QStringLiteral("zz")).isEmpty());
}

TEST(DeviceTokenTest, RegistrationSendsGetdeviceWithTheTokenOnly) {
    testutil::ScopedHome home;
    UserDefaults::standard().reload();
    // Even with somebody signed in, registration carries no user token.
    UserDefaults::standard().setObject("user_token", QStringLiteral("abc"));
    FakeService service;
    service.route("GET", "/site/getdevice", FakeService::Reply::json(R"({"result":"ok"})"));
    const QString oldBase = ServiceConfig::baseUrl();
    ServiceConfig::setBaseUrl(service.baseUrl());

    AppDelegate delegate;
    delegate.didRegisterForRemoteNotificationsWithDeviceToken(
        QByteArray::fromHex("0a1b2c3d4e5f6071"));
    ASSERT_TRUE(service.waitForRequests(1));
    const FakeService::Request request = service.requests().first();
    EXPECT_EQ(request.path, QStringLiteral("/site/getdevice"));
    EXPECT_EQ(request.queryValue("device_token"), QStringLiteral("0a1b2c3d4e5f6071"));
    EXPECT_FALSE(request.hasQueryKey("token"));
    EXPECT_FALSE(request.hasQueryKey("channel"));
    EXPECT_EQ(request.header("Accept"), QByteArray("application/json"));

    // A second token replaces the registration under way; the replaced one is freed.
    QPointer<HttpRequest> first = delegate.asiHttpRequest();
    FakeService::Reply slow = FakeService::Reply::json(R"({"result":"ok"})");
    slow.delayMs = 400;
    service.route("GET", "/site/getdevice", slow);
    delegate.didRegisterForRemoteNotificationsWithDeviceToken(QByteArray::fromHex("01"));
    QPointer<HttpRequest> second = delegate.asiHttpRequest();
    ASSERT_TRUE(service.waitForRequests(2));
    delegate.didRegisterForRemoteNotificationsWithDeviceToken(QByteArray::fromHex("02"));
    EXPECT_TRUE(testutil::waitUntil([&] { return first.isNull() && second.isNull(); }));
    EXPECT_NE(delegate.asiHttpRequest(), nullptr);

    ServiceConfig::setBaseUrl(oldBase);
    UserDefaults::standard().removeObjectForKey("user_token");
}

TEST(DeviceTokenTest, AFailedRegistrationIsLogged) {
    testutil::LogCapture log;
    AppDelegate delegate;
    delegate.didFailToRegisterForRemoteNotificationsWithError(QStringLiteral("no provider"));
    EXPECT_EQ(log.count(QStringLiteral("Push Register Error:no provider")), 1);
}

class PushedAlertTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.makeKeyAndVisible();
        Application::shared().setDelegate(&delegate);
        Application::shared().setApplicationState(Application::State::Active);
    }
    void TearDown() override {
        for (AlertView* a : AlertView::visibleAlerts())
            a->dismiss();
        Application::shared().setDelegate(nullptr);
        Application::shared().setApplicationState(Application::State::Active);
        Application::shared().setApplicationIconBadgeNumber(0);
    }
    static int badge() { return Application::shared().applicationIconBadgeNumber(); }

    Window window;
    AppDelegate delegate;
};

TEST_F(PushedAlertTest, AStringAlertInTheForegroundShowsTheNotice) {
    delegate.didReceiveRemoteNotification(
        {{"aps", QVariantMap{{"alert", QStringLiteral("新章节已更新")}}}});
    const QList<AlertView*> alerts = AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0]->message(), QStringLiteral("新章节已更新"));
    EXPECT_EQ(alerts[0]->numberOfButtons(), 1);
    EXPECT_EQ(badge(), 0);
}

TEST_F(PushedAlertTest, ADictionaryBodyKeepsTheBadgeUntilTheButtonOrActivation) {
    delegate.didReceiveRemoteNotification(
        {{"aps", QVariantMap{{"alert", QVariantMap{{"body", QStringLiteral("书架上的书有更新")}}},
                             {"badge", 3}}}});
    ASSERT_EQ(AlertView::visibleAlerts().size(), 1);
    EXPECT_EQ(AlertView::visibleAlerts()[0]->message(), QStringLiteral("书架上的书有更新"));
    EXPECT_EQ(badge(), 3);
    AlertView::visibleAlerts()[0]->clickButtonAtIndex(0);
    EXPECT_EQ(badge(), 0);

    delegate.didReceiveRemoteNotification({{"aps", QVariantMap{{"badge", 4}}}});
    EXPECT_EQ(badge(), 4);
    Application::shared().setApplicationState(Application::State::Background);
    Application::shared().setApplicationState(Application::State::Active);
    EXPECT_EQ(badge(), 0);
}

TEST_F(PushedAlertTest, PayloadsWithoutAReadableAlertOrInTheBackgroundOnlySetTheBadge) {
    delegate.didReceiveRemoteNotification({{"other", QStringLiteral("x")}});
    EXPECT_EQ(badge(), 0);
    delegate.didReceiveRemoteNotification({{"aps", QVariantMap{{"alert", 12}, {"badge", 2}}}});
    EXPECT_EQ(badge(), 2);
    delegate.didReceiveRemoteNotification({{"aps", QStringLiteral("not a dictionary")}});
    EXPECT_EQ(badge(), 0);
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());

    // In the background only the badge changes.
    Application::shared().setApplicationState(Application::State::Background);
    delegate.didReceiveRemoteNotification(
        {{"aps", QVariantMap{{"alert", QStringLiteral("后台消息")}, {"badge", 1}}}});
    EXPECT_TRUE(AlertView::visibleAlerts().isEmpty());
    EXPECT_EQ(badge(), 1);
}

TEST_F(PushedAlertTest, APayloadFileReachesTheDelegate) {
    QTemporaryDir dir;
    const QString path = dir.filePath("push.json");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"aps":{"alert":"来自文件","badge":6}})");
    file.close();
    EXPECT_TRUE(PushNotifications::deliverFile(path));
    ASSERT_EQ(AlertView::visibleAlerts().size(), 1);
    EXPECT_EQ(AlertView::visibleAlerts()[0]->message(), QStringLiteral("来自文件"));
    EXPECT_EQ(badge(), 6);
    EXPECT_FALSE(PushNotifications::deliverFile(dir.filePath("missing.json")));
}

} // namespace
