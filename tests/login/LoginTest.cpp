// The login screen against the fake service.
#include <QMouseEvent>

#include "account/FormTable.h"
#include "platform/ui/Button.h"
#include "tests/login/SignInFixture.h"

using namespace signintest;

namespace {

class LoginTest : public SignInTest {
protected:
    void fill(const QString& username, const QString& password) {
        login->usernameTextfield()->setText(username);
        login->passwordTextfield()->setText(password);
    }
};

TEST_F(LoginTest, TheFormStartsEmptyAndChecksTheAccountFirst) {
    service.route("GET", "/site/login", FakeService::Reply::json(signedIn()));
    EXPECT_TRUE(login->usernameTextfield()->text().isEmpty());
    EXPECT_TRUE(login->passwordTextfield()->isSecure());
    EXPECT_EQ(login->loginFormTable()->rowCount(), 2);

    // Both empty: only the account notice, and the account field gets the focus.
    login->passwordTextfield()->becomeFirstResponder();
    login->btnLogin()->click();
    EXPECT_EQ(noticeText(login), L("username cannot be empty"));
    EXPECT_EQ(noticeCount(login), 1);
    EXPECT_TRUE(login->usernameTextfield()->isFirstResponder());

    // Blanks are an account name; the empty password is next.
    settle(login);
    fill(QStringLiteral("  "), QString());
    login->btnLogin()->click();
    EXPECT_EQ(noticeText(login), L("password cannot be empty"));
    EXPECT_TRUE(login->passwordTextfield()->isFirstResponder());
    testutil::spin(100);
    EXPECT_EQ(service.requestCount(), 0);

    // Sent exactly as typed, with nothing but the two values and the checksum.
    fill(QStringLiteral("  "), QStringLiteral(" pa ss "));
    login->btnLogin()->click();
    EXPECT_FALSE(login->usernameTextfield()->isFirstResponder());
    EXPECT_FALSE(login->passwordTextfield()->isFirstResponder());
    ASSERT_TRUE(service.waitForRequests(1));
    const FakeService::Request sent = service.requests().first();
    EXPECT_EQ(sent.queryValue("username"), QStringLiteral("  "));
    EXPECT_EQ(sent.queryValue("password"), QStringLiteral(" pa ss "));
    QStringList keys;
    for (const auto& pair : sent.query)
        keys << pair.first;
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"checksum", "password", "username"}));
    EXPECT_EQ(sent.header("Accept"), QByteArray("application/json"));
}

TEST_F(LoginTest, ReturnKeysMoveTheFocusAndNeverLogIn) {
    service.route("GET", "/site/login", FakeService::Reply::json(signedIn()));
    fill(QStringLiteral("reader"), QStringLiteral("secret1"));
    login->usernameTextfield()->becomeFirstResponder();
    pressReturn(login->usernameTextfield());
    EXPECT_TRUE(login->passwordTextfield()->isFirstResponder());
    pressReturn(login->passwordTextfield());
    EXPECT_FALSE(login->passwordTextfield()->isFirstResponder());
    EXPECT_FALSE(login->usernameTextfield()->isFirstResponder());
    testutil::spin(200);
    EXPECT_EQ(service.requestCount(), 0);
    EXPECT_TRUE(login);
}

// A finger's tap on whatever widget of the screen lies under point.
void tapAt(QWidget* screen, const QPoint& point) {
    QWidget* target = screen->childAt(point);
    if (!target)
        target = screen;
    const QPointF local = target->mapFrom(screen, point);
    const QPointF global = screen->mapToGlobal(point);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

TEST_F(LoginTest, ABackgroundTapClosesTheKeyboardButButtonsStillWork) {
    login->usernameTextfield()->becomeFirstResponder();
    tapAt(login, QPoint(160, 400));
    EXPECT_FALSE(login->usernameTextfield()->isFirstResponder());

    // On a row's label too.
    login->passwordTextfield()->becomeFirstResponder();
    const QPoint label = login->loginFormTable()->geometry().topLeft() + QPoint(20, 66);
    tapAt(login, label);
    EXPECT_FALSE(login->passwordTextfield()->isFirstResponder());

    tapAt(login, login->btnLogin()->geometry().center());
    EXPECT_EQ(noticeText(login), L("username cannot be empty"));
    EXPECT_TRUE(login->usernameTextfield()->isFirstResponder());
}

TEST_F(LoginTest, SuccessStoresTheUserAsTypedAndCloses) {
    service.route("GET", "/site/login", FakeService::Reply::json(signedIn()));
    fill(QStringLiteral(" reader@example.com "), QStringLiteral("secret1"));
    login->btnLogin()->click();
    ASSERT_TRUE(waitUntil([&] { return login.isNull(); }));
    EXPECT_EQ(UserStore::token(), kToken);
    EXPECT_EQ(UserStore::userInfo().value("login_time").toString(), QStringLiteral("1700000000"));
    EXPECT_EQ(UserStore::userInfo().value("nick").toString(), QStringLiteral("x"));
    EXPECT_EQ(UserStore::currentAccount(), QStringLiteral(" reader@example.com "));
    // Written to the file, not only held in memory.
    UserDefaults::standard().reload();
    EXPECT_EQ(UserStore::token(), kToken);
    EXPECT_EQ(presenter->presentedViewController(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return window->overlays().isEmpty(); }));
}

TEST_F(LoginTest, RefusalsAndADeadNetworkKeepTheEarlierSignInAndTheForm) {
    const struct {
        const char* name;
        FakeService::Reply reply;
        QString notice;
    } cases[] = {
        {"refused", FakeService::Reply::json(R"({"result":"error","msg":"用户名或密码错误"})"),
         QStringLiteral("用户名或密码错误")},
        {"not JSON", FakeService::Reply::text("<html>busy</html>", "text/html"), QString()},
        {"a JSON list", FakeService::Reply::json(R"([{"result":"ok","token":"t"}])"), QString()},
        {"ok without a token", FakeService::Reply::json(R"({"result":"ok","msg":"登录成功"})"),
         QString()},
        {"server error", FakeService::Reply::json(R"({"result":"error","msg":"维护中"})", 500),
         QStringLiteral("维护中")},
    };
    UserStore::signIn(QStringLiteral("earlier"), {{"id", "7"}}, QStringLiteral("earlier@x.cn"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        service.route("GET", "/site/login", c.reply);
        service.clearRequests();
        fill(QStringLiteral("reader "), QStringLiteral("wrong-1"));
        const int before = noticeCount(login);
        login->btnLogin()->click();
        ASSERT_TRUE(waitUntil([&] { return noticeCount(login) == before + 1; }));
        EXPECT_EQ(noticeText(login), c.notice);
        EXPECT_EQ(login->notify()->imageName(), QStringLiteral("read_refresh_no"));
        EXPECT_EQ(login->usernameTextfield()->text(), QStringLiteral("reader "));
        EXPECT_EQ(login->passwordTextfield()->text(), QStringLiteral("wrong-1"));
        EXPECT_EQ(UserStore::token(), QStringLiteral("earlier"));
        EXPECT_EQ(UserStore::userId(), QStringLiteral("7"));
        EXPECT_EQ(UserStore::currentAccount(), QStringLiteral("earlier@x.cn"));
        EXPECT_EQ(login->asiHttpRequest(), nullptr);
        EXPECT_TRUE(waitUntil([&] { return window->overlays().isEmpty(); }));
        settle(login);
    }

    // A port nobody listens on.
    {
        FakeService gone;
        ServiceConfig::setBaseUrl(gone.baseUrl());
    }
    const int before = noticeCount(login);
    login->btnLogin()->click();
    ASSERT_TRUE(waitUntil([&] { return noticeCount(login) == before + 1; }, 20000));
    EXPECT_EQ(noticeText(login), L("The network is not good"));
    EXPECT_EQ(UserStore::token(), QStringLiteral("earlier"));
    EXPECT_TRUE(login);
    EXPECT_TRUE(waitUntil([&] { return window->overlays().isEmpty(); }));
}

TEST_F(LoginTest, AScreenClosedMidRequestGetsNothing) {
    FakeService::Reply slow = FakeService::Reply::json(signedIn());
    slow.delayMs = 600;
    service.route("GET", "/site/login", slow);
    fill(QStringLiteral("reader"), QStringLiteral("secret1"));
    login->btnLogin()->click();
    ASSERT_TRUE(service.waitForRequests(1));
    EXPECT_FALSE(window->overlays().isEmpty());
    login->btnBack()->click();
    ASSERT_TRUE(waitUntil([&] { return login.isNull(); }));
    testutil::spin(1000);
    EXPECT_FALSE(UserStore::isSignedIn());
    // The progress overlay went with the screen.
    EXPECT_TRUE(waitUntil([&] { return window->overlays().isEmpty(); }));
}

} // namespace
