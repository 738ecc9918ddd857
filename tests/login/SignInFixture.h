#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <gtest/gtest.h>

#include "account/FormViewController.h"
#include "account/LoginViewController.h"
#include "account/TextField.h"
#include "platform/Clock.h"
#include "platform/Localizable.h"
#include "platform/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "service/ServiceConfig.h"
#include "storage/CHKeychain.h"
#include "storage/UserStore.h"
#include "tests/support/FakeService.h"
#include "tests/support/TestUtil.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace signintest {

using testutil::waitUntil;

// Types text into a field key by key, as a keyboard would (validators and limits apply).
inline void type(TextField* field, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(field, &release);
    }
}

inline void pressReturn(TextField* field) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &press);
}

// The text of the last notice a screen put up, and how many it displayed.
inline QString noticeText(const FormViewController* screen) {
    return screen->notify() ? screen->notify()->text() : QStringLiteral("<no notice>");
}
inline int noticeCount(const FormViewController* screen) {
    return screen->notify() ? screen->notify()->displayCount() : 0;
}

// Waits until the screen's notice has run its course, so the next one shows.
inline void settle(const FormViewController* screen) {
    if (screen->notify())
        waitUntil([&] { return !screen->notify()->isAnimating(); });
}

inline const QString kToken = QStringLiteral("token-5b1c");

// A window with a screen that presents the login screen, the client pointed at a fake service,
// and a signed-out user with no saved phone.
class SignInTest : public ::testing::Test {
protected:
    void SetUp() override {
        ServiceConfig::setBaseUrl(service.baseUrl());
        UserStore::signOut();
        UserDefaults::standard().removeObjectForKey(
            QString::fromLatin1(UserStore::kCurrentAccount));
        CHKeychain::deleteItem(QString::fromLatin1(CHKeychain::kSavePhone));
        window = new Window();
        presenter = new ViewController();
        window->setRootViewController(presenter);
        window->makeKeyAndVisible();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(waitUntil([&] { return window->isActiveWindow(); }));
        login = LoginViewController::presentFrom(presenter);
        ASSERT_TRUE(waitUntil([&] { return login && login->isVisible(); }));
        nav = login->navigationController();
    }
    void TearDown() override {
        delete window;
        Clock::reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Waits until the top of the login stack is a screen of class T.
    template <class T> T* waitForTop() {
        T* top = nullptr;
        waitUntil([&] {
            top = nav ? qobject_cast<T*>(nav->topViewController()) : nullptr;
            return top != nullptr && top->isVisible();
        });
        return top;
    }

    // The answer of the sign-in endpoints when they accept.
    static QByteArray signedIn(const QString& message = QStringLiteral("ok")) {
        return QStringLiteral(R"({"result":"ok","msg":"%1","token":"%2",)"
                              R"("userinfo":{"id":"41","login_time":"1700000000","nick":"x"}})")
            .arg(message, kToken)
            .toUtf8();
    }

    FakeService service;
    Window* window = nullptr;
    ViewController* presenter = nullptr;
    QPointer<LoginViewController> login;
    QPointer<NavigationController> nav;
};

} // namespace signintest
