#include "account/AccountScreenshots.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QPointer>

#include "account/CheckCaptchaViewController.h"
#include "account/LoginViewController.h"
#include "account/RegByEmailViewController.h"
#include "account/RegByPhoneViewController.h"
#include "account/RegPhoneNowViewController.h"
#include "account/RegisterViewController.h"
#include "account/TextField.h"
#include "platform/Timing.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ScreenshotWalk.h"
#include "platform/ui/Window.h"
#include "storage/CHKeychain.h"
#include "storage/UserStore.h"

namespace {

constexpr int kOrder = 70;

// A number and an address nobody has registered yet, different for every call.
QString freshMobile() {
    static int calls = 0;
    const qint64 n = (QDateTime::currentMSecsSinceEpoch() / 10 + 7919 * ++calls) % 100000000;
    return QStringLiteral("139") + QString::number(n).rightJustified(8, QLatin1Char('0'));
}

const QString kPassword = QStringLiteral("walk-pass1");

// The walk's reader: the e-mail account registered through the form, signed in again later.
QString& walkEmail() {
    static QString email;
    return email;
}

QString& walkMobile() {
    static QString mobile;
    return mobile;
}

QString freshEmail() {
    return QStringLiteral("walk%1@example.com").arg(QDateTime::currentMSecsSinceEpoch());
}

bool waitFor(ScreenshotWalk::Context& ctx, const std::function<bool()>& done, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        ctx.settle(50);
    }
    return true;
}

template <class T> T* topOf(NavigationController* nav) {
    return nav ? qobject_cast<T*>(nav->topViewController()) : nullptr;
}

// The login screen presented over the window's root, as the bookshelf presents it; dismissed
// after the shot.
LoginViewController* presentLogin(ScreenshotWalk::Context& ctx) {
    ViewController* root = ctx.window()->rootViewController();
    if (!root)
        return nullptr;
    QPointer<LoginViewController> login = LoginViewController::presentFrom(root);
    QPointer<ViewController> presenter = root;
    ctx.addCleanUp([presenter] {
        if (presenter && presenter->presentedViewController())
            presenter->dismissModal(false);
    });
    ctx.settle(100);
    return login;
}

// Shows the answer's notice at real speed, so the shot catches it held up.
void atRealSpeed(ScreenshotWalk::Context& ctx) {
    const double speed = Timing::speed();
    Timing::setSpeed(1);
    ctx.addCleanUp([speed] { Timing::setSpeed(speed); });
}

bool noticeShown(FormViewController* screen, int before) {
    return screen->notify() && screen->notify()->displayCount() > before;
}

RegisterViewController* openRegistration(ScreenshotWalk::Context& ctx) {
    LoginViewController* login = presentLogin(ctx);
    if (!login)
        return nullptr;
    login->action(2);
    NavigationController* nav = login->navigationController();
    waitFor(
        ctx, [&] { return topOf<RegisterViewController>(nav) != nullptr; }, 3000);
    ctx.settle(150);
    return topOf<RegisterViewController>(nav);
}

// Asks for a code for a fresh number; the code screen, or null.
CheckCaptchaViewController* openCodeScreen(ScreenshotWalk::Context& ctx) {
    RegisterViewController* reg = openRegistration(ctx);
    if (!reg)
        return nullptr;
    NavigationController* nav = reg->navigationController();
    walkMobile() = freshMobile();
    reg->PhoneView()->textPhone()->setText(walkMobile());
    reg->PhoneView()->action(1);
    if (!waitFor(ctx, [&] { return topOf<CheckCaptchaViewController>(nav) != nullptr; })) {
        ctx.fail(QStringLiteral("no code screen after the code request"));
        return nullptr;
    }
    ctx.settle(150);
    return topOf<CheckCaptchaViewController>(nav);
}

// Enters the code the way the app received it and submits; the password screen, or null.
RegPhoneNowViewController* openPasswordScreen(ScreenshotWalk::Context& ctx) {
    CheckCaptchaViewController* code = openCodeScreen(ctx);
    if (!code)
        return nullptr;
    NavigationController* nav = code->navigationController();
    const QString sent = CHKeychain::load(QString::fromLatin1(CHKeychain::kSavePhone))
                             .toMap()
                             .value(QString::fromLatin1(CHKeychain::kValidate))
                             .toString();
    code->textCaptcha()->setText(sent);
    code->action(1);
    if (!waitFor(
            ctx, [&] { return topOf<RegPhoneNowViewController>(nav) != nullptr; }, 3000)) {
        ctx.fail(QStringLiteral("the code was not accepted"));
        return nullptr;
    }
    ctx.settle(150);
    RegPhoneNowViewController* screen = topOf<RegPhoneNowViewController>(nav);
    screen->textPassword()->setText(QStringLiteral("walk-pass1"));
    screen->textRepassword()->setText(QStringLiteral("walk-pass1"));
    return screen;
}

void requireSignedInAs(ScreenshotWalk::Context& ctx, const QString& account) {
    ctx.require(UserStore::isSignedIn() && !UserStore::token().isEmpty(),
                QStringLiteral("no token stored"));
    ctx.require(UserStore::currentAccount() == account,
                QStringLiteral("the account stored is \"%1\", not \"%2\"")
                    .arg(UserStore::currentAccount(), account));
}

// Sends a form and waits for its notice, held up for the shot.
void submitAndHold(ScreenshotWalk::Context& ctx, FormViewController* screen, int tag = 1) {
    const int before = screen->notify() ? screen->notify()->displayCount() : 0;
    atRealSpeed(ctx);
    screen->action(tag);
    if (!waitFor(ctx, [&] { return noticeShown(screen, before); }))
        ctx.fail(QStringLiteral("no answer from the service"));
    ctx.settle(650);
}

} // namespace

void registerAccountScreenshots() {
    ScreenshotWalk::add(QStringLiteral("signin_login_form"), kOrder,
                        [](ScreenshotWalk::Context& ctx) { presentLogin(ctx); });
    ScreenshotWalk::add(
        QStringLiteral("signin_login_refused"), kOrder + 1, [](ScreenshotWalk::Context& ctx) {
            LoginViewController* login = presentLogin(ctx);
            if (!login)
                return;
            login->usernameTextfield()->setText(QStringLiteral("13800000000"));
            login->passwordTextfield()->setText(QStringLiteral("not-my-password"));
            submitAndHold(ctx, login, 3);
            ctx.require(!UserStore::isSignedIn(), QStringLiteral("a wrong password signed in"));
        });
    ScreenshotWalk::add(QStringLiteral("signin_register_phone"), kOrder + 2,
                        [](ScreenshotWalk::Context& ctx) {
                            if (RegisterViewController* reg = openRegistration(ctx))
                                reg->PhoneView()->textPhone()->setText(QStringLiteral("139"));
                        });
    ScreenshotWalk::add(
        QStringLiteral("signin_register_email"), kOrder + 3, [](ScreenshotWalk::Context& ctx) {
            RegisterViewController* reg = openRegistration(ctx);
            if (!reg)
                return;
            reg->action(2);
            reg->EmailView()->textEmail()->setText(QStringLiteral("reader@example.com"));
            reg->EmailView()->textPassword()->setText(QStringLiteral("secret1"));
            ctx.settle(100);
        });
    ScreenshotWalk::add(QStringLiteral("signin_code_countdown"), kOrder + 4,
                        [](ScreenshotWalk::Context& ctx) {
                            CheckCaptchaViewController* code = openCodeScreen(ctx);
                            if (!code)
                                return;
                            code->textCaptcha()->setText(QStringLiteral("48"));
                            code->action(2);
                            // Two ticks of the real clock.
                            ctx.settle(2200);
                        });
    ScreenshotWalk::add(QStringLiteral("signin_password"), kOrder + 5,
                        [](ScreenshotWalk::Context& ctx) { openPasswordScreen(ctx); });
    ScreenshotWalk::add(QStringLiteral("signin_registered_phone"), kOrder + 6,
                        [](ScreenshotWalk::Context& ctx) {
                            if (RegPhoneNowViewController* screen = openPasswordScreen(ctx)) {
                                submitAndHold(ctx, screen);
                                requireSignedInAs(ctx, walkMobile());
                            }
                        });
    ScreenshotWalk::add(QStringLiteral("signin_registered_email"), kOrder + 7,
                        [](ScreenshotWalk::Context& ctx) {
                            RegisterViewController* reg = openRegistration(ctx);
                            if (!reg)
                                return;
                            reg->action(2);
                            RegByEmailViewController* email = reg->EmailView();
                            walkEmail() = freshEmail();
                            email->textEmail()->setText(walkEmail());
                            email->textPassword()->setText(kPassword);
                            email->textRepassword()->setText(kPassword);
                            submitAndHold(ctx, email);
                            requireSignedInAs(ctx, walkEmail());
                        });
    ScreenshotWalk::add(
        QStringLiteral("signin_login_done"), kOrder + 8, [](ScreenshotWalk::Context& ctx) {
            // Signed out, then back in through the login form with the new account: the form
            // goes away and the shelf is there.
            UserStore::signOut();
            LoginViewController* login = presentLogin(ctx);
            if (!ctx.require(login != nullptr && !walkEmail().isEmpty(),
                             QStringLiteral("no login form or no registered account")))
                return;
            QPointer<LoginViewController> guard(login);
            login->usernameTextfield()->setText(walkEmail());
            login->passwordTextfield()->setText(kPassword);
            login->action(3);
            ViewController* root = ctx.window()->rootViewController();
            ctx.require(ctx.waitFor([root] { return !root->presentedViewController(); }),
                        QStringLiteral("the login form stayed"));
            ctx.settle(300);
            requireSignedInAs(ctx, walkEmail());
        });
}
