// Passwords, tokens and verification codes never reach the log, whatever the answer.
#include "account/CheckCaptchaViewController.h"
#include "account/RegByPhoneViewController.h"
#include "account/RegPhoneNowViewController.h"
#include "account/RegisterViewController.h"
#include "platform/ui/Button.h"
#include "tests/app/LogCapture.h"
#include "tests/login/SignInFixture.h"

using namespace signintest;

namespace {

class NoSecretsLoggedTest : public SignInTest {};

TEST_F(NoSecretsLoggedTest, AcrossEveryAnswerOfTheSignInPath) {
    const QString password = QStringLiteral("Pw-7c1e9a");
    const QString code = QStringLiteral("731904");
    const QString newCode = QStringLiteral("550218");
    testutil::LogCapture log;

    // Sends the form (the button of that tag) and waits for the notice or the dismissal.
    auto attempt = [&](FormViewController* screen, int tag = 1) {
        settle(screen);
        const int before = noticeCount(screen);
        screen->action(tag);
        return waitUntil([&] { return login.isNull() || noticeCount(screen) > before; }, 20000);
    };

    // Login: an error page, an answer that is not JSON, a dead service, then success.
    login->usernameTextfield()->setText(QStringLiteral("13912345678"));
    login->passwordTextfield()->setText(password);
    service.route("GET", "/site/login", FakeService::Reply::json(R"({"result":"error"})", 500));
    EXPECT_TRUE(attempt(login, 3));
    service.route("GET", "/site/login", FakeService::Reply::text("<p>oops</p>", "text/html"));
    EXPECT_TRUE(attempt(login, 3));
    ServiceConfig::setBaseUrl(QStringLiteral("http://127.0.0.1:1"));
    EXPECT_TRUE(attempt(login, 3));
    ServiceConfig::setBaseUrl(service.baseUrl());

    // Registration by phone: the code, a repeated code, a refused and a good registration.
    service.route("GET", "/site/send_validate_code",
                  FakeService::Reply::json(
                      QStringLiteral(R"({"result":"ok","msg":"%1"})").arg(code).toUtf8()));
    login->btnReg()->click();
    RegisterViewController* reg = waitForTop<RegisterViewController>();
    ASSERT_NE(reg, nullptr);
    reg->PhoneView()->textPhone()->setText(QStringLiteral("13912345678"));
    reg->PhoneView()->action(1);
    CheckCaptchaViewController* check = waitForTop<CheckCaptchaViewController>();
    ASSERT_NE(check, nullptr);
    service.route("GET", "/site/send_validate_code",
                  FakeService::Reply::json(
                      QStringLiteral(R"({"result":"ok","msg":"%1"})").arg(newCode).toUtf8()));
    check->action(2);
    ASSERT_TRUE(waitUntil([&] { return check->keyChainCode() == newCode; }));
    check->textCaptcha()->setText(newCode);
    check->action(1);
    RegPhoneNowViewController* last = waitForTop<RegPhoneNowViewController>();
    ASSERT_NE(last, nullptr);
    last->textPassword()->setText(password);
    last->textRepassword()->setText(password);
    service.route("GET", "/site/reg", FakeService::Reply::json(R"({"result":"ok"})"));
    EXPECT_TRUE(attempt(last));
    service.route("GET", "/site/reg", FakeService::Reply::json(signedIn()));
    EXPECT_TRUE(attempt(last));
    EXPECT_EQ(UserStore::token(), kToken);

    // And the signed-in user's login through the screen.
    UserStore::signOut();
    login->btnBack()->click();
    ASSERT_TRUE(waitUntil([&] { return login.isNull(); }));
    login = LoginViewController::presentFrom(presenter);
    ASSERT_TRUE(waitUntil([&] { return login && login->isVisible(); }));
    service.route("GET", "/site/login", FakeService::Reply::json(signedIn()));
    login->usernameTextfield()->setText(QStringLiteral("13912345678"));
    login->passwordTextfield()->setText(password);
    EXPECT_TRUE(attempt(login, 3));

    for (const QString& line : log.messages()) {
        for (const QString& secret : {password, code, newCode, kToken}) {
            EXPECT_FALSE(line.contains(secret)) << line.toStdString();
            // Percent-escaped forms count too.
            EXPECT_FALSE(line.contains(QString::fromLatin1(QUrl::toPercentEncoding(secret))))
                << line.toStdString();
        }
    }
}

} // namespace
