#include "app/SettingScreenshots.h"

#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>

#include "account/MemberScreenshots.h"
#include "account/MyInfoViewController.h"
#include "app/SettingViewController.h"
#include "catalog/FirstViewController.h"
#include "catalog/WZGuideViewController.h"
#include "platform/Timing.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ScreenshotWalk.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "storage/UserStore.h"

namespace {

using Context = ScreenshotWalk::Context;
constexpr int kOrder = 400;

// Stores reading values for a step and puts the earlier ones back after it.
void storeForStep(Context& ctx, const QVariantMap& values) {
    UserDefaults& defaults = UserDefaults::standard();
    QVariantMap earlier;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        earlier.insert(it.key(), defaults.objectForKey(it.key()));
        defaults.setObject(it.key(), it.value());
    }
    defaults.synchronize();
    ctx.addCleanUp([earlier] {
        UserDefaults& store = UserDefaults::standard();
        for (auto it = earlier.cbegin(); it != earlier.cend(); ++it) {
            if (it.value().isValid())
                store.setObject(it.key(), it.value());
            else
                store.removeObjectForKey(it.key());
        }
        store.synchronize();
    });
}

// The settings screen over the member center, as the settings button opens it.
SettingViewController* openSettings(Context& ctx) {
    if (!memberWalkSignIn()) {
        ctx.fail(QStringLiteral("no signed-in reader"));
        return nullptr;
    }
    auto* center = new MyInfoViewController();
    ctx.push(center);
    ctx.settle(50);
    center->action(2);
    ctx.settle(100);
    auto* settings =
        qobject_cast<SettingViewController*>(center->navigationController()->topViewController());
    if (!settings)
        ctx.fail(QStringLiteral("the settings did not open"));
    return settings;
}

void atRealSpeed(Context& ctx) {
    const double speed = Timing::speed();
    Timing::setSpeed(1);
    ctx.addCleanUp([speed] { Timing::setSpeed(speed); });
}

} // namespace

void registerSettingScreenshots() {
    ScreenshotWalk::add(QStringLiteral("settings"), kOrder, [](Context& ctx) {
        // Night pages in the large size, as the reader stored them.
        storeForStep(ctx, {{QStringLiteral("ReadType"), 2},
                           {QStringLiteral("FontSizeId"), 20},
                           {QStringLiteral("LightSizeId"), QStringLiteral("70")}});
        SettingViewController* settings = openSettings(ctx);
        if (settings && (settings->styleControl()->selectedSegmentIndex() != 1 ||
                         settings->fontControl()->selectedSegmentIndex() != 2))
            ctx.fail(QStringLiteral("the stored values are not selected"));
    });
    ScreenshotWalk::add(QStringLiteral("settings_day_small"), kOrder + 1, [](Context& ctx) {
        // The first-launch values: day pages, the size stored as text.
        storeForStep(ctx, {{QStringLiteral("ReadType"), 1},
                           {QStringLiteral("FontSizeId"), QStringLiteral("18")},
                           {QStringLiteral("LightSizeId"), QStringLiteral("100")},
                           {QStringLiteral("is_open_wifi"), true}});
        SettingViewController* settings = openSettings(ctx);
        if (!settings)
            return;
        if (settings->styleControl()->selectedSegmentIndex() != 0 ||
            settings->fontControl()->selectedSegmentIndex() != 1)
            ctx.fail(QStringLiteral("the stored values are not selected"));
        QScrollBar* bar = settings->myTableView()->verticalScrollBar();
        bar->setValue(bar->maximum());
    });
    ScreenshotWalk::add(QStringLiteral("settings_bookmark_confirm"), kOrder + 2, [](Context& ctx) {
        SettingViewController* settings = openSettings(ctx);
        if (!settings)
            return;
        settings->didSelectRow(2, 1);
        ctx.settle(100);
        if (!settings->bookmarkAlert())
            ctx.fail(QStringLiteral("no confirmation"));
    });
    ScreenshotWalk::add(QStringLiteral("settings_records_cleared"), kOrder + 3, [](Context& ctx) {
        SettingViewController* settings = openSettings(ctx);
        if (!settings)
            return;
        atRealSpeed(ctx);
        const int before = settings->notify()->displayCount();
        settings->didSelectRow(2, 0);
        for (int i = 0; i < 100 && settings->notify()->displayCount() == before; ++i)
            ctx.settle(50);
        ctx.settle(600);
        if (settings->notify()->imageName() != QLatin1String("read_refresh_yes"))
            ctx.fail(settings->notify()->text());
    });
    ScreenshotWalk::add(QStringLiteral("settings_guide_again"), kOrder + 30, [](Context& ctx) {
        // The guide's row brings the introduction back; leaving it keeps firstLaunch cleared.
        SettingViewController* settings = openSettings(ctx);
        if (!settings)
            return;
        settings->didSelectRow(3, 0);
        ctx.settle(200);
        WZGuideViewController* guide = WZGuideViewController::sharedGuide();
        ctx.require(guide->parentWidget() == ctx.window() && guide->isVisible() &&
                        guide->currentPage() == 0,
                    QStringLiteral("the guide did not open at its first page"));
        ctx.addCleanUp([] { WZGuideViewController::sharedGuide()->pressEnterButton(); });
    });
    ScreenshotWalk::add(QStringLiteral("settings_signed_out"), kOrder + 40, [](Context& ctx) {
        SettingViewController* settings = openSettings(ctx);
        if (!settings)
            return;
        QPointer<SettingViewController> watch(settings);
        settings->actionBtn(2);
        for (int i = 0; i < 100 && watch; ++i)
            ctx.settle(50);
        ctx.settle(200);
        auto* tabs = qobject_cast<TabBarController*>(ctx.window()->rootViewController());
        auto* stack =
            tabs ? qobject_cast<NavigationController*>(tabs->selectedViewController()) : nullptr;
        if (UserStore::isSignedIn() || !stack ||
            !qobject_cast<FirstViewController*>(stack->topViewController()))
            ctx.fail(QStringLiteral("still signed in or not on the shelf"));
    });
    ScreenshotWalk::add(QStringLiteral("settings_signed_out_login"), kOrder + 41, [](Context& ctx) {
        // Signed out, the shelf's user button asks for a sign-in again.
        ctx.selectTab(0);
        ctx.settle(100);
        auto* tabs = qobject_cast<TabBarController*>(ctx.window()->rootViewController());
        auto* stack =
            tabs ? qobject_cast<NavigationController*>(tabs->selectedViewController()) : nullptr;
        auto* shelf =
            stack ? qobject_cast<FirstViewController*>(stack->rootViewController()) : nullptr;
        if (!ctx.require(shelf != nullptr, QStringLiteral("no shelf")))
            return;
        ctx.require(!UserStore::isSignedIn(), QStringLiteral("still signed in"));
        shelf->toMyCenter();
        ctx.settle(200);
        ctx.require(shelf->presentedViewController() != nullptr, QStringLiteral("no login form"));
        ctx.addCleanUp([shelf = QPointer<ViewController>(shelf)] {
            if (shelf && shelf->presentedViewController())
                shelf->dismissModal(false);
        });
    });
}
