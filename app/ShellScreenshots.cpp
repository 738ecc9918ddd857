#include "app/ShellScreenshots.h"

#include <QCoreApplication>

#include "account/AccountScreenshots.h"
#include "account/ListsScreenshots.h"
#include "account/MemberScreenshots.h"
#include "app/SettingScreenshots.h"
#include "app/tooles.h"
#include "catalog/BookListPanel.h"
#include "catalog/CatalogScreenshots.h"
#include "catalog/DiscoveryScreenshots.h"
#include "catalog/SecondViewController.h"
#include "catalog/SegmentedBookLists.h"
#include "catalog/ThirdViewController.h"
#include "catalog/WZGuideViewController.h"
#include "platform/Localizable.h"
#include "platform/Timing.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ScreenshotWalk.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "reader/PositionScreenshots.h"
#include "reader/ReaderScreenshots.h"
#include "service/ListPager.h"
#include "widgets/WidgetGallery.h"

namespace {
ViewController* rootOfTab(ScreenshotWalk::Context& ctx, int index) {
    auto* tabs = qobject_cast<TabBarController*>(ctx.window()->rootViewController());
    auto* nav =
        tabs ? qobject_cast<NavigationController*>(tabs->viewControllers().value(index)) : nullptr;
    return nav ? nav->rootViewController() : nullptr;
}

ViewController* selectedScreen(ScreenshotWalk::Context& ctx) {
    auto* tabs = qobject_cast<TabBarController*>(ctx.window()->rootViewController());
    auto* nav =
        tabs ? qobject_cast<NavigationController*>(tabs->selectedViewController()) : nullptr;
    return nav ? nav->topViewController() : nullptr;
}
} // namespace

void registerShellScreenshots() {
    // A first launch: the guide over the shelf, paged through, left with its start button.
    for (int page = 0; page < 3; ++page) {
        ScreenshotWalk::add(
            QStringLiteral("shell_guide_page%1").arg(page + 1), 10 + page,
            [page](ScreenshotWalk::Context& ctx) {
                WZGuideViewController::show();
                ctx.settle(100);
                WZGuideViewController* guide = WZGuideViewController::sharedGuide();
                guide->scrollToPage(page);
                ctx.settle(50);
                ctx.require(guide->parentWidget() == ctx.window() && guide->isVisible(),
                            QStringLiteral("the guide is not shown"));
                if (page + 1 < guide->pageCount()) {
                    ctx.addCleanUp([] { WZGuideViewController::hide(); });
                    return;
                }
                ctx.require(guide->startButton() && guide->startButton()->isVisible(),
                            QStringLiteral("no start button on the last page"));
                // After the shot the reader starts: the guide leaves for good.
                ctx.addCleanUp([] {
                    WZGuideViewController::sharedGuide()->pressEnterButton();
                    QCoreApplication::processEvents();
                });
            });
    }
    ScreenshotWalk::add(QStringLiteral("shell_guide_passed"), 13, [](ScreenshotWalk::Context& ctx) {
        ctx.selectTab(0);
        ctx.settle(200);
        WZGuideViewController* guide = WZGuideViewController::sharedGuide();
        ctx.require(!guide->isVisible() || guide->parentWidget() == nullptr,
                    QStringLiteral("the guide stayed over the shelf"));
        ctx.require(!UserDefaults::standard().boolForKey(QStringLiteral("firstLaunch")),
                    QStringLiteral("firstLaunch is still set"));
    });
    static const char* const tabNames[] = {"bookshelf", "recommend", "rank", "category", "search"};
    for (int i = 0; i < 5; ++i) {
        ScreenshotWalk::add(
            QStringLiteral("shell_tab%1_%2").arg(i + 1).arg(QLatin1String(tabNames[i])), 20 + i,
            [i](ScreenshotWalk::Context& ctx) {
                ctx.selectTab(i);
                ctx.settle(300);
                // The two list tabs load their first segment from the service.
                SegmentedBookLists* lists = nullptr;
                if (auto* second = qobject_cast<SecondViewController*>(rootOfTab(ctx, i)))
                    lists = second->lists();
                else if (auto* third = qobject_cast<ThirdViewController*>(rootOfTab(ctx, i)))
                    lists = third->lists();
                if (lists) {
                    BookListPanel* panel = lists->panel(0);
                    ctx.waitFor([panel] {
                        // A failed page leaves the pager at page 0: idle ends the wait.
                        return !panel ||
                               (!panel->pager().isLoading() && !panel->pager().isPending());
                    });
                    ctx.require(panel && !panel->books().isEmpty(),
                                QStringLiteral("the tab's list stays empty"));
                    // Covers come from the service too.
                    ctx.settle(600);
                }
            });
    }
    ScreenshotWalk::add(QStringLiteral("shell_alert"), 591, [](ScreenshotWalk::Context& ctx) {
        auto* alert = new AlertView(QStringLiteral("升级提醒"),
                                    QStringLiteral("新版本带来更舒适的夜间模式和更快的章节下载。"),
                                    nullptr, QStringLiteral("立即更新"),
                                    {QStringLiteral("稍候再说"), QStringLiteral("不再提醒")});
        alert->show();
        ctx.settle(100);
    });
    ScreenshotWalk::add(QStringLiteral("shell_notice"), 592, [](ScreenshotWalk::Context& ctx) {
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
    ScreenshotWalk::add(QStringLiteral("shell_progress"), 593, [](ScreenshotWalk::Context& ctx) {
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
