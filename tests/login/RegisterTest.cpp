// Registration by phone (number, code, password) and by e-mail against the fake service.
#include <QLabel>
#include <QTimer>

#include "account/CheckCaptchaViewController.h"
#include "account/KeyboardDoneButton.h"
#include "account/RegByEmailViewController.h"
#include "account/RegByPhoneViewController.h"
#include "account/RegPhoneNowViewController.h"
#include "account/RegisterViewController.h"
#include "platform/ui/Button.h"
#include "tests/login/SignInFixture.h"

using namespace signintest;

namespace {

const QString kMobile = QStringLiteral("13912345678");
const QString kCode = QStringLiteral("482913");

QVariantMap savedPhone() {
    return CHKeychain::load(QString::fromLatin1(CHKeychain::kSavePhone)).toMap();
}

void savePhone(const QString& mobile, const QString& code) {
    CHKeychain::save(QString::fromLatin1(CHKeychain::kSavePhone),
                     QVariantMap{{QString::fromLatin1(CHKeychain::kPhone), mobile},
                                 {QString::fromLatin1(CHKeychain::kValidate), code}});
}

QStringList sortedKeys(const FakeService::Request& request) {
    QStringList keys;
    for (const auto& pair : request.query)
        keys << pair.first;
    keys.sort();
    return keys;
}

class RegisterTest : public SignInTest {
protected:
    RegisterViewController* openRegistration() {
        login->btnReg()->click();
        return waitForTop<RegisterViewController>();
    }
    CheckCaptchaViewController* openCodeScreen(const QString& code = kCode) {
        savePhone(kMobile, code);
        nav->pushViewController(new CheckCaptchaViewController(), false);
        return waitForTop<CheckCaptchaViewController>();
    }
    RegPhoneNowViewController* openPasswordScreen() {
        savePhone(kMobile, kCode);
        nav->pushViewController(new RegPhoneNowViewController(), false);
        return waitForTop<RegPhoneNowViewController>();
    }
    void routeCode(const QString& code) {
        service.route("GET", "/site/send_validate_code",
                      FakeService::Reply::json(
                          QStringLiteral(R"({"result":"ok","msg":"%1"})").arg(code).toUtf8()));
    }
};

TEST_F(RegisterTest, TheNumberIsCheckedAsTypedBeforeACodeIsAskedFor) {
    routeCode(kCode);
    RegByPhoneViewController* phone = openRegistration()->PhoneView();
    TextField* field = phone->textPhone();

    phone->btnGetCode()->click();
    EXPECT_EQ(noticeText(phone), L("The phone number can not be empty"));
    EXPECT_TRUE(field->isFirstResponder());
    settle(phone);

    // A blank is not trimmed away: ten digits and a blank are no mobile number.
    field->setText(QStringLiteral("1391234567 "));
    phone->btnGetCode()->click();
    EXPECT_EQ(noticeText(phone), L("Phone number format error"));
    settle(phone);
    testutil::spin(100);
    EXPECT_EQ(service.requestCount(), 0);

    // The number pad types digits only and stops at eleven.
    field->clear();
    type(field, QStringLiteral("139a12 34-5678999"));
    EXPECT_EQ(field->text(), QStringLiteral("13912345678"));
    phone->btnGetCode()->click();
    ASSERT_TRUE(service.waitForRequests(1));
    EXPECT_EQ(service.requests().first().queryValue("mobile"), kMobile);
    EXPECT_EQ(sortedKeys(service.requests().first()), (QStringList{"checksum", "mobile"}));

    CheckCaptchaViewController* code = waitForTop<CheckCaptchaViewController>();
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(savedPhone().value(CHKeychain::kPhone).toString(), kMobile);
    EXPECT_EQ(savedPhone().value(CHKeychain::kValidate).toString(), kCode);
    EXPECT_EQ(code->keyChainMobile(), kMobile);
    EXPECT_EQ(code->label_phone()->text(), QStringLiteral("手机号：13912345678"));
}

TEST_F(RegisterTest, ARefusedOrFailedCodeRequestStaysAndStoresNothing) {
    savePhone(QStringLiteral("13800000000"), QStringLiteral("111111"));
    RegByPhoneViewController* phone = openRegistration()->PhoneView();
    phone->textPhone()->setText(kMobile);

    service.route("GET", "/site/send_validate_code",
                  FakeService::Reply::json(R"({"result":"error","msg":"该手机号已注册"})"));
    phone->btnGetCode()->click();
    ASSERT_TRUE(waitUntil([&] { return noticeCount(phone) == 1; }));
    EXPECT_EQ(noticeText(phone), QStringLiteral("获取验证码失败"));
    settle(phone);

    ServiceConfig::setBaseUrl(QStringLiteral("http://127.0.0.1:1"));
    phone->btnGetCode()->click();
    ASSERT_TRUE(waitUntil([&] { return noticeCount(phone) == 2; }, 20000));
    EXPECT_EQ(noticeText(phone), L("The network is not good"));

    EXPECT_EQ(savedPhone().value(CHKeychain::kPhone).toString(), QStringLiteral("13800000000"));
    EXPECT_EQ(nav->viewControllers().size(), 2);
    EXPECT_TRUE(waitUntil([&] { return window->overlays().isEmpty(); }));
}

TEST_F(RegisterTest, TheCodeIsComparedOnTheDevice) {
    RegisterViewController* reg = openRegistration();
    ASSERT_NE(reg, nullptr);
    CheckCaptchaViewController* screen = openCodeScreen();
    ASSERT_NE(screen, nullptr);
    TextField* field = screen->textCaptcha();

    screen->btnSubmitCaptcha()->click();
    EXPECT_EQ(noticeText(screen), L("The verification code can not be empty"));
    settle(screen);

    type(field, QStringLiteral("48291"));
    screen->btnSubmitCaptcha()->click();
    EXPECT_EQ(noticeText(screen), L("The verification code length should be").arg(6));
    EXPECT_TRUE(noticeText(screen).contains(QLatin1Char('6')));
    EXPECT_TRUE(field->isFirstResponder());
    settle(screen);

    // Typing stops at six.
    type(field, QStringLiteral("45"));
    EXPECT_EQ(field->text(), QStringLiteral("482914"));
    screen->btnSubmitCaptcha()->click();
    EXPECT_EQ(noticeText(screen), QStringLiteral("验证码不正确"));
    EXPECT_EQ(nav->topViewController(), screen);
    settle(screen);

    field->setText(kCode);
    screen->btnSubmitCaptcha()->click();
    RegPhoneNowViewController* next = waitForTop<RegPhoneNowViewController>();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->phoneStr(), kMobile);
    // The code never travels to the service.
    EXPECT_EQ(service.requestCount(), 0);

    // Back buttons pop by class: password screen -> code screen -> registration.
    next->btnBack()->click();
    EXPECT_EQ(waitForTop<CheckCaptchaViewController>(), screen);
    screen->btnBack()->click();
    EXPECT_EQ(waitForTop<RegisterViewController>(), reg);
}

TEST_F(RegisterTest, WithoutASavedPhoneNoCodeMatches) {
    nav->pushViewController(new CheckCaptchaViewController(), false);
    CheckCaptchaViewController* screen = waitForTop<CheckCaptchaViewController>();
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(screen->keyChainCode().isNull());
    screen->textCaptcha()->setText(QStringLiteral("000000"));
    screen->btnSubmitCaptcha()->click();
    EXPECT_EQ(noticeText(screen), QStringLiteral("验证码不正确"));
}

TEST_F(RegisterTest, TheRepeatedRequestCountsDownOnTheAppClock) {
    const QString title = L("Reacquire verification code");
    for (const bool reachable : {true, false}) {
        SCOPED_TRACE(reachable ? "answered" : "network down");
        routeCode(QStringLiteral("777001"));
        ServiceConfig::setBaseUrl(reachable ? service.baseUrl()
                                            : QStringLiteral("http://127.0.0.1:1"));
        service.clearRequests();
        CheckCaptchaViewController* screen = openCodeScreen();
        ASSERT_NE(screen, nullptr);
        Clock::setNow(QDateTime::fromSecsSinceEpoch(1'800'000'000));
        screen->btnReGetCaptcha()->click();
        EXPECT_FALSE(screen->btnReGetCaptcha()->isEnabled());
        EXPECT_TRUE(screen->m_pTimer()->isActive());
        EXPECT_EQ(screen->btnReGetCaptcha()->text(), title);

        if (reachable) {
            ASSERT_TRUE(service.waitForRequests(1));
            EXPECT_EQ(service.requests().first().queryValue("mobile"), kMobile);
            // The new code replaces the old one, on the screen and in the saved item.
            ASSERT_TRUE(waitUntil([&] { return screen->keyChainCode() == "777001"; }));
            EXPECT_EQ(savedPhone().value(CHKeychain::kValidate).toString(),
                      QStringLiteral("777001"));
            EXPECT_EQ(savedPhone().value(CHKeychain::kPhone).toString(), kMobile);
        } else {
            ASSERT_TRUE(waitUntil([&] { return noticeCount(screen) == 1; }, 20000));
            EXPECT_EQ(noticeText(screen), L("The network is not good"));
            EXPECT_EQ(screen->keyChainCode(), kCode);
        }

        QStringList titles;
        for (int second = 1; second <= 60; ++second) {
            Clock::advance(1);
            screen->calcuRemainTime();
            if (second == 1 || second == 2 || second == 59)
                titles << screen->btnReGetCaptcha()->text();
            if (second < 60) {
                EXPECT_FALSE(screen->btnReGetCaptcha()->isEnabled()) << second;
            }
        }
        EXPECT_EQ(titles, (QStringList{title + "(59)", title + "(58)", title + "(1)"}));
        EXPECT_TRUE(screen->btnReGetCaptcha()->isEnabled());
        EXPECT_EQ(screen->btnReGetCaptcha()->text(), title);
        EXPECT_FALSE(screen->m_pTimer()->isActive());
        nav->popToRootViewController(false);
        ASSERT_TRUE(waitUntil([&] { return nav->viewControllers().size() == 1; }));
        CHKeychain::deleteItem(QString::fromLatin1(CHKeychain::kSavePhone));
    }
}

TEST_F(RegisterTest, ThePasswordRulesOfThePhonePath) {
    RegPhoneNowViewController* screen = openPasswordScreen();
    ASSERT_NE(screen, nullptr);
    const QString lengthRule = L("Password length should be 6-16");
    const struct {
        QString password;
        QString confirmation;
        QString notice;
    } cases[] = {
        {QString(), QString(), L("password cannot be empty")},
        {QStringLiteral("12345"), QStringLiteral("12345"), lengthRule},
        {QString(17, QLatin1Char('a')), QString(17, QLatin1Char('a')), lengthRule},
        {QStringLiteral(" 2345 "), QStringLiteral(" 2345"), L("Confirm Password inconsistent")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.password.toStdString());
        screen->textPassword()->setText(c.password);
        screen->textRepassword()->setText(c.confirmation);
        screen->btnNowreg()->click();
        EXPECT_EQ(noticeText(screen), c.notice);
        const bool onConfirmation = c.notice == L("Confirm Password inconsistent");
        EXPECT_EQ(screen->textRepassword()->isFirstResponder(), onConfirmation);
        EXPECT_EQ(screen->textPassword()->isFirstResponder(), !onConfirmation);
        settle(screen);
    }
    testutil::spin(100);
    EXPECT_EQ(service.requestCount(), 0);

    // Six and sixteen characters pass; the answer is refused here so both can be sent.
    service.route("GET", "/site/reg",
                  FakeService::Reply::json(R"({"result":"error","msg":"该手机号已注册"})"));
    for (const QString& password : {QStringLiteral("123456"), QString(16, QLatin1Char('p'))}) {
        service.clearRequests();
        screen->textPassword()->setText(password);
        screen->textRepassword()->setText(password);
        const int before = noticeCount(screen);
        screen->btnNowreg()->click();
        ASSERT_TRUE(waitUntil([&] { return noticeCount(screen) == before + 1; }));
        EXPECT_EQ(noticeText(screen), QStringLiteral("该手机号已注册"));
        ASSERT_EQ(service.requests().size(), 1);
        EXPECT_EQ(service.requests().first().queryValue("password"), password);
        settle(screen);
    }
    EXPECT_FALSE(UserStore::isSignedIn());
}

TEST_F(RegisterTest, APhoneRegistrationSignsInAndStays) {
    service.route("GET", "/site/reg", FakeService::Reply::json(signedIn()));
    RegPhoneNowViewController* screen = openPasswordScreen();
    ASSERT_NE(screen, nullptr);
    screen->textPassword()->setText(QStringLiteral("secret1"));
    screen->textRepassword()->setText(QStringLiteral("secret1"));
    screen->btnNowreg()->click();
    ASSERT_TRUE(waitUntil([&] { return noticeCount(screen) == 1; }));
    EXPECT_EQ(noticeText(screen), L("Register successful"));
    EXPECT_EQ(screen->notify()->imageName(), QStringLiteral("read_refresh_yes"));
    EXPECT_EQ(UserStore::token(), kToken);
    EXPECT_EQ(UserStore::userId(), QStringLiteral("41"));
    EXPECT_EQ(UserStore::currentAccount(), kMobile);

    const FakeService::Request sent = service.requests("/site/reg").first();
    EXPECT_EQ(sortedKeys(sent), (QStringList{"channel", "checksum", "mobile", "password"}));
    EXPECT_EQ(sent.queryValue("mobile"), kMobile);
    EXPECT_FALSE(sent.queryValue("channel").isEmpty());
    // The login stack and its presentation stay.
    testutil::spin(200);
    EXPECT_EQ(nav->topViewController(), screen);
    EXPECT_TRUE(login);
    EXPECT_EQ(presenter->presentedViewController(), nav.data());
    // The saved phone item is kept.
    EXPECT_EQ(savedPhone().value(CHKeychain::kPhone).toString(), kMobile);
}

TEST_F(RegisterTest, TheEmailPath) {
    RegByEmailViewController* email = openRegistration()->EmailView();
    ASSERT_NE(email, nullptr);
    const struct {
        QString address;
        QString password;
        QString confirmation;
        QString notice;
        TextField* (RegByEmailViewController::*focus)() const;
    } cases[] = {
        {QString(), QStringLiteral("secret1"), QStringLiteral("secret1"),
         L("E-mail can not be empty"), &RegByEmailViewController::textEmail},
        {QStringLiteral(" a@b.cn"), QStringLiteral("secret1"), QStringLiteral("secret1"),
         L("Mailbox format error"), &RegByEmailViewController::textEmail},
        {QStringLiteral("a@b.cn"), QString(), QString(), L("password cannot be empty"),
         &RegByEmailViewController::textPassword},
        {QStringLiteral("a@b.cn"), QStringLiteral("12345"), QStringLiteral("12345"),
         L("Password length should be 6-16"), &RegByEmailViewController::textPassword},
        {QStringLiteral("a@b.cn"), QStringLiteral("secret1"), QStringLiteral("secret2"),
         L("Confirm Password inconsistent"), &RegByEmailViewController::textRepassword},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.notice.toStdString());
        email->textEmail()->setText(c.address);
        email->textPassword()->setText(c.password);
        email->textRepassword()->setText(c.confirmation);
        email->btnNowReg()->click();
        EXPECT_EQ(noticeText(email), c.notice);
        EXPECT_TRUE((email->*c.focus)()->isFirstResponder());
        settle(email);
    }
    testutil::spin(100);
    EXPECT_EQ(service.requestCount(), 0);

    service.route("GET", "/site/reg", FakeService::Reply::json(signedIn()));
    email->textEmail()->setText(QStringLiteral("New.Reader@example.com"));
    email->textPassword()->setText(QStringLiteral("secret1"));
    email->textRepassword()->setText(QStringLiteral("secret1"));
    const int before = noticeCount(email);
    email->btnNowReg()->click();
    ASSERT_TRUE(waitUntil([&] { return noticeCount(email) == before + 1; }));
    EXPECT_EQ(noticeText(email), L("Register successful"));
    EXPECT_EQ(UserStore::currentAccount(), QStringLiteral("New.Reader@example.com"));
    EXPECT_EQ(UserStore::token(), kToken);
    const FakeService::Request sent = service.requests("/site/reg").first();
    EXPECT_EQ(sortedKeys(sent), (QStringList{"channel", "checksum", "email", "password"}));
    EXPECT_EQ(sent.queryValue("email"), QStringLiteral("New.Reader@example.com"));
    EXPECT_TRUE(waitUntil([&] { return window->overlays().isEmpty(); }));
}

TEST_F(RegisterTest, TabsFocusAndTheDoneKeyOfTheNumberPad) {
    RegisterViewController* reg = openRegistration();
    ASSERT_NE(reg, nullptr);
    RegByPhoneViewController* phone = reg->PhoneView();
    KeyboardDoneButton* done = phone->doneInKeyboardButton();
    ASSERT_TRUE(waitUntil([&] { return phone->textPhone()->isFirstResponder(); }));
    EXPECT_TRUE(reg->btnRegByPhone()->isSelected());
    EXPECT_FALSE(reg->EmailView()->isVisible());
    ASSERT_TRUE(waitUntil([&] { return done->isShowing(); }));
    EXPECT_EQ(done->button()->parentWidget(), window);
    EXPECT_EQ(done->button()->geometry(), QRect(0, window->height() - 53, 106, 53));

    // Tapping it ends the editing and takes it away.
    done->button()->click();
    EXPECT_FALSE(reg->PhoneView()->textPhone()->isFirstResponder());
    EXPECT_FALSE(done->isShowing());

    // Not on the e-mail tab, not for the e-mail fields.
    reg->PhoneView()->textPhone()->becomeFirstResponder();
    EXPECT_TRUE(done->isShowing());
    reg->btnRegByEmail()->click();
    EXPECT_TRUE(reg->btnRegByEmail()->isSelected());
    EXPECT_FALSE(reg->btnRegByPhone()->isSelected());
    EXPECT_TRUE(reg->EmailView()->isVisible());
    EXPECT_FALSE(phone->isVisible());
    EXPECT_FALSE(phone->textPhone()->isFirstResponder());
    reg->EmailView()->textEmail()->becomeFirstResponder();
    EXPECT_FALSE(done->isShowing());
    reg->btnRegByPhone()->click();
    EXPECT_TRUE(phone->isVisible());
    EXPECT_FALSE(reg->EmailView()->isVisible());

    // A pushed screen hides it; the code screen brings its own.
    reg->PhoneView()->textPhone()->becomeFirstResponder();
    EXPECT_TRUE(done->isShowing());
    CheckCaptchaViewController* code = openCodeScreen();
    ASSERT_NE(code, nullptr);
    EXPECT_FALSE(done->isShowing());
    code->textCaptcha()->becomeFirstResponder();
    EXPECT_TRUE(code->doneInKeyboardButton()->isShowing());
    const QPointer<Button> codeKey = code->doneInKeyboardButton()->button();
    code->btnBack()->click();
    ASSERT_EQ(waitForTop<RegisterViewController>(), reg);
    // The code screen's key left the window with its screen.
    EXPECT_TRUE(waitUntil([&] { return codeKey.isNull(); }));

    reg->btnBack()->click();
    ASSERT_TRUE(waitUntil([&] { return nav->viewControllers().size() == 1; }));
    EXPECT_EQ(nav->topViewController(), login.data());
}

} // namespace
