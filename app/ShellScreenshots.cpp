#include "app/ShellScreenshots.h"

#include "account/AccountScreenshots.h"
#include "account/ListsScreenshots.h"
#include "account/MemberScreenshots.h"
#include "app/SettingScreenshots.h"
#include "app/tooles.h"
#include "catalog/CatalogScreenshots.h"
#include "catalog/DiscoveryScreenshots.h"
#include "catalog/WZGuideViewController.h"
#include "platform/Localizable.h"
#include "platform/Timing.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ScreenshotWalk.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "reader/PositionScreenshots.h"
#include "reader/ReaderScreenshots.h"
#include "widgets/WidgetGallery.h"

namespace {
ViewController* selectedScreen(ScreenshotWalk::Context& ctx) {
    auto* tabs = qobject_cast<TabBarController*>(ctx.window()->rootViewController());
    auto* nav =
        tabs ? qobject_cast<NavigationController*>(tabs->selectedViewController()) : nullptr;
    return nav ? nav->topViewController() : nullptr;
}
} // namespace

void registerShellScreenshots() {
    static const char* const tabNames[] = {"bookshelf", "recommend", "rank", "category", "search"};
    for (int i = 0; i < 5; ++i) {
        ScreenshotWalk::add(
            QStringLiteral("shell_tab%1_%2").arg(i + 1).arg(QLatin1String(tabNames[i])), 10 + i,
            [i](ScreenshotWalk::Context& ctx) {
                ctx.selectTab(i);
                ctx.settle(300);
            });
    }
    for (int page = 0; page < 3; ++page) {
        ScreenshotWalk::add(QStringLiteral("shell_guide_page%1").arg(page + 1), 20 + page,
                            [page](ScreenshotWalk::Context& ctx) {
                                WZGuideViewController::show();
                                ctx.settle(100);
                                WZGuideViewController::sharedGuide()->scrollToPage(page);
                                ctx.addCleanUp([] { WZGuideViewController::hide(); });
                            });
    }
    ScreenshotWalk::add(QStringLiteral("shell_pushed"), 29, [](ScreenshotWalk::Context& ctx) {
        // A screen pushed over the bookshelf: back button, no tab bar.
        auto* screen = new ViewController();
        screen->setTitle(QStringLiteral("书籍详情"));
        screen->setHidesBottomBarWhenPushed(true);
        tooles::bgView(true, false, screen)->lower();
        ctx.push(screen);
        ctx.settle(100);
    });
    ScreenshotWalk::add(QStringLiteral("shell_alert"), 30, [](ScreenshotWalk::Context& ctx) {
        auto* alert = new AlertView(QStringLiteral("升级提醒"),
                                    QStringLiteral("新版本带来更舒适的夜间模式和更快的章节下载。"),
                                    nullptr, QStringLiteral("立即更新"),
                                    {QStringLiteral("稍候再说"), QStringLiteral("不再提醒")});
        alert->show();
        ctx.settle(100);
    });
    ScreenshotWalk::add(QStringLiteral("shell_notice"), 31, [](ScreenshotWalk::Context& ctx) {
        ViewController* screen = selectedScreen(ctx);
        if (!screen)
            return;
        auto* notice = new NoticeView(screen, 100);
        notice->showBDK(L("The network is not good"), QStringLiteral("read_refresh_no"));
        // At real speed, so the shot catches it held up after its fade-in.
        const double speed = Timing::speed();
        Timing::setSpeed(1);
        notice->displayNotification();
        ctx.settle(650);
        ctx.addCleanUp([notice, speed] {
            delete notice;
            Timing::setSpeed(speed);
        });
    });
    ScreenshotWalk::add(QStringLiteral("shell_progress"), 32, [](ScreenshotWalk::Context& ctx) {
        tooles::showHUD(QStringLiteral("正在加载..."));
        ctx.settle(100);
        ctx.addCleanUp([] { tooles::removeHUD(); });
    });
    registerCatalogScreenshots();
    registerDiscoveryScreenshots();
    registerReaderScreenshots();
    registerPositionScreenshots();
    registerAccountScreenshots();
    registerMemberScreenshots();
    registerListsScreenshots();
    registerSettingScreenshots();
    registerWidgetGallery();
}
