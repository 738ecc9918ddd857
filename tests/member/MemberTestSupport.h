#pragma once

// The member center's screens in a phone window: the five tabs with the real bookshelf at the
// root of the first, the fake book service as the service and the store lookup, a fresh home
// and user-defaults store per test, and a signed-in user.
#include <QAbstractButton>
#include <QMouseEvent>
#include <QVariantMap>
#include <gtest/gtest.h>
#include <memory>

#include "app/tooles.h"
#include "catalog/FirstViewController.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "service/ServiceConfig.h"
#include "storage/UserStore.h"
#include "tests/support/FakeService.h"
#include "tests/support/TestUtil.h"

namespace membertest {

inline void mouse(QWidget* w, QEvent::Type type, QPoint at) {
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// A finger's tap in the middle of a view.
inline void tap(QWidget* w) {
    const QPoint at = w->rect().center();
    mouse(w, QEvent::MouseButtonPress, at);
    mouse(w, QEvent::MouseButtonRelease, at);
}

// The progress overlays still in the window.
inline int huds(Window* window) {
    int n = 0;
    for (ProgressHUD* hud : window->findChildren<ProgressHUD*>())
        n += hud->isVisible() ? 1 : 0;
    return n;
}

class MemberScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        UserDefaults::standard().reload();
        oldBase = ServiceConfig::baseUrl();
        oldLookup = ServiceConfig::lookupBase();
        ServiceConfig::setBaseUrl(service.baseUrl());
        ServiceConfig::setLookupBase(service.baseUrl());
        window = std::make_unique<Window>();
        tabs = new TabBarController();
        QList<ViewController*> stacks;
        shelfStack = new NavigationController(new FirstViewController());
        stacks.append(shelfStack);
        for (int i = 1; i < 5; ++i)
            stacks.append(new NavigationController(new ViewController()));
        tabs->setViewControllers(stacks);
        window->setRootViewController(tabs);
        window->makeKeyAndVisible();
    }

    void TearDown() override {
        for (AlertView* a : AlertView::visibleAlerts())
            a->dismiss();
        tooles::removeHUD();
        window.reset();
        testutil::spin(20);
        ServiceConfig::setBaseUrl(oldBase);
        ServiceConfig::setLookupBase(oldLookup);
        UserDefaults::standard().reload();
    }

    // Signs a user in the way the login screen leaves the store.
    static void signIn(const QVariant& id,
                       const QString& account = QStringLiteral("reader@example.com")) {
        QVariantMap info;
        info.insert(QStringLiteral("id"), id);
        info.insert(QStringLiteral("login_time"), QStringLiteral("1800000000"));
        UserStore::signIn(QStringLiteral("tok-%1").arg(id.toString()), info, account);
    }

    // Pushes a screen on the bookshelf's stack at once and lets it settle.
    template <class T> T* push(T* screen) {
        shelfStack->pushViewController(screen, false);
        testutil::spin(10);
        return screen;
    }

    // Waits until a notice has been displayed `count` times in all.
    static bool waitForNotice(NoticeView* notice, int count = 1) {
        return testutil::waitUntil([&] { return notice->displayCount() >= count; });
    }

    testutil::ScopedHome home;
    FakeService service;
    std::unique_ptr<Window> window;
    TabBarController* tabs = nullptr;
    NavigationController* shelfStack = nullptr;
    QString oldBase;
    QString oldLookup;
};

} // namespace membertest
