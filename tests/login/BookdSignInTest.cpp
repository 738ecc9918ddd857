// Registration by phone and sign-in through the real screens against bookd.
#include "account/CheckCaptchaViewController.h"
#include "account/RegByPhoneViewController.h"
#include "account/RegPhoneNowViewController.h"
#include "account/RegisterViewController.h"
#include "platform/ui/Button.h"
#include "tests/bookd/BookdHarness.h"
#include "tests/login/SignInFixture.h"

using namespace signintest;

namespace {

class BookdSignInTest : public SignInTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(bookd.started());
        SignInTest::SetUp();
        ServiceConfig::setBaseUrl(bookd.base());
    }

    // Submits a form (the button of that tag) and waits for its notice; the notice text.
    QString submit(FormViewController* screen, int tag = 1) {
        settle(screen);
        const int before = noticeCount(screen);
        screen->action(tag);
        EXPECT_TRUE(waitUntil([&] { return noticeCount(screen) > before; }, 20000));
        return noticeText(screen);
    }

    // A new login screen over the presenter (after the last one closed).
    void presentLogin() {
        ASSERT_TRUE(waitUntil([&] { return presenter->presentedViewController() == nullptr; }));
        login = LoginViewController::presentFrom(presenter);
        ASSERT_TRUE(waitUntil([&] { return login && login->isVisible(); }));
        nav = login->navigationController();
    }

    // Logs in through the screen; true when it closed signed in.
    bool logIn(const QString& account, const QString& password) {
        login->usernameTextfield()->setText(account);
        login->passwordTextfield()->setText(password);
        login->btnLogin()->click();
        return waitUntil([&] { return login.isNull(); }, 20000) && UserStore::isSignedIn();
    }

    RegisterViewController* openRegistration() {
        login->btnReg()->click();
        return waitForTop<RegisterViewController>();
    }

    bookdtest::LocalBookd bookd;
};

TEST_F(BookdSignInTest, RegisterByPhoneThenSignOutAndBackIn) {
    const QString mobile = QStringLiteral("13712345678");
    const QString password = QStringLiteral("pass-word6");

    RegByPhoneViewController* phone = openRegistration()->PhoneView();
    type(phone->textPhone(), mobile);
    phone->action(1);
    CheckCaptchaViewController* code = waitForTop<CheckCaptchaViewController>();
    ASSERT_NE(code, nullptr);
    // The code the service sent, read back the way the screen reads it.
    ASSERT_EQ(code->keyChainCode().size(), 6);
    type(code->textCaptcha(), code->keyChainCode());
    code->action(1);
    RegPhoneNowViewController* last = waitForTop<RegPhoneNowViewController>();
    ASSERT_NE(last, nullptr);
    last->textPassword()->setText(password);
    last->textRepassword()->setText(password);
    EXPECT_EQ(submit(last), L("Register successful"));
    const QString firstToken = UserStore::token();
    EXPECT_FALSE(firstToken.isEmpty());
    EXPECT_EQ(UserStore::currentAccount(), mobile);
    EXPECT_FALSE(UserStore::userId().isEmpty());
    // The same number cannot register twice; the service says why.
    EXPECT_EQ(submit(last), QStringLiteral("该手机号已注册"));
    EXPECT_EQ(UserStore::token(), firstToken);

    // Signed out on the device, then in again with the same account.
    UserStore::signOut();
    login->btnBack()->click();
    presentLogin();
    ASSERT_TRUE(logIn(mobile, password));
    EXPECT_EQ(UserStore::currentAccount(), mobile);
    const QString secondToken = UserStore::token();

    // A wrong password: the service's words, and the sign-in stays as it was.
    presentLogin();
    const QString refusal = bookdtest::call(QStringLiteral("/site/login"),
                                            {{QStringLiteral("username"), mobile},
                                             {QStringLiteral("password"), QStringLiteral("x")}})
                                .msg();
    ASSERT_FALSE(refusal.isEmpty());
    login->usernameTextfield()->setText(mobile);
    login->passwordTextfield()->setText(QStringLiteral("pass-word7"));
    EXPECT_EQ(submit(login, 3), refusal);
    EXPECT_TRUE(login);
    EXPECT_EQ(UserStore::token(), secondToken);
}

} // namespace
