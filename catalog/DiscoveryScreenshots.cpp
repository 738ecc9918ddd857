#include "catalog/DiscoveryScreenshots.h"

#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPointer>
#include <functional>

#include "catalog/BookListPanel.h"
#include "catalog/CategoryDetailViewController.h"
#include "catalog/FifthViewController.h"
#include "catalog/FouthViewController.h"
#include "catalog/SearchDetailViewController.h"
#include "catalog/SecondViewController.h"
#include "catalog/SegmentedBookLists.h"
#include "catalog/ThirdViewController.h"
#include "platform/Timing.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ScreenshotWalk.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "widgets/PullLoadingView.h"
#include "widgets/PullingRefreshTableView.h"

namespace {

using Context = ScreenshotWalk::Context;
constexpr int kOrder = 30;
const QString kKeyword = QStringLiteral("剑");

bool waitFor(Context& ctx, const std::function<bool()>& done, int ms = 15000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        ctx.settle(50);
    }
    return true;
}

// The root screen of tab index, that tab selected.
template <typename T> T* tabRoot(Context& ctx, int index) {
    ctx.selectTab(index);
    ctx.settle(50);
    auto* tabs = qobject_cast<TabBarController*>(ctx.window()->rootViewController());
    auto* nav =
        tabs ? qobject_cast<NavigationController*>(tabs->selectedViewController()) : nullptr;
    return nav ? qobject_cast<T*>(nav->rootViewController()) : nullptr;
}

bool isIdle(BookListPanel* panel) {
    return panel && !panel->pager().isLoading() && !panel->pager().isPending() &&
           panel->table()->headerView()->state() != 2 && panel->table()->footerView()->state() != 2;
}

// Waits for a list's first page; fails the step when it holds no books.
void awaitBooks(Context& ctx, BookListPanel* panel) {
    if (!panel) {
        ctx.fail(QStringLiteral("no list"));
        return;
    }
    panel->startFirstLoad();
    // A failed page leaves the pager at page 0, so idle is what ends the wait.
    if (!waitFor(ctx, [panel] { return isIdle(panel); }) || panel->books().isEmpty())
        ctx.fail(QStringLiteral("the list holds no books"));
    // Covers come from the service too.
    ctx.settle(600);
}

void addSegmentSteps(const QString& prefix, int tab, int order, const QStringList& names) {
    for (int segment = 0; segment < names.size(); ++segment) {
        const QString step = prefix + names.at(segment);
        ScreenshotWalk::add(step, order + segment, [=](Context& ctx) {
            SegmentedBookLists* lists = nullptr;
            if (tab == 1) {
                if (auto* screen = tabRoot<SecondViewController>(ctx, tab)) {
                    screen->segmentedControlChangedValue(segment);
                    lists = screen->lists();
                }
            } else if (auto* screen = tabRoot<ThirdViewController>(ctx, tab)) {
                screen->segmentedControlChangedValue(segment);
                lists = screen->lists();
            }
            awaitBooks(ctx, lists ? lists->panel(segment) : nullptr);
            // The next step starts from the first segment again.
            ctx.addCleanUp([lists] {
                if (lists)
                    lists->segmentedControlChangedValue(0);
            });
        });
    }
}

// The categories tab with its grid filled.
FouthViewController* categoriesTab(Context& ctx) {
    auto* tab = tabRoot<FouthViewController>(ctx, 3);
    if (!tab || !waitFor(ctx, [tab] { return !tab->categoryButtons().isEmpty(); })) {
        ctx.fail(QStringLiteral("no categories"));
        return nullptr;
    }
    return tab;
}

// A category's books, opened from the grid as a tap does.
CategoryDetailViewController* openCategory(Context& ctx, int index) {
    FouthViewController* tab = categoriesTab(ctx);
    if (!tab || tab->categoryButtons().size() <= index)
        return nullptr;
    tab->onClick(tab->categoryButtons().at(index)->tag());
    ctx.addCleanUp([nav = QPointer<NavigationController>(tab->navigationController())] {
        if (nav)
            nav->popToRootViewController(false);
    });
    auto* detail = qobject_cast<CategoryDetailViewController*>(
        tab->navigationController()->topViewController());
    if (!detail)
        ctx.fail(QStringLiteral("the category did not open"));
    return detail;
}

// Searches keyword from the search tab as the keyboard's search key does.
SearchDetailViewController* search(Context& ctx, FifthViewController* tab, const QString& keyword) {
    tab->searchBar()->setText(keyword);
    tab->searchBarSearchButtonClicked();
    ctx.settle(50);
    return qobject_cast<SearchDetailViewController*>(
        tab->navigationController()->topViewController());
}

void popSearchTab(Context& ctx, FifthViewController* tab) {
    ctx.addCleanUp([nav = QPointer<NavigationController>(tab->navigationController())] {
        if (nav)
            nav->popToRootViewController(false);
    });
}

} // namespace

void registerDiscoveryScreenshots() {
    addSegmentSteps(QStringLiteral("discovery_recommend_"), 1, kOrder,
                    {QStringLiteral("daily"), QStringLiteral("popular")});
    addSegmentSteps(QStringLiteral("discovery_rank_"), 2, kOrder + 2,
                    {QStringLiteral("reads"), QStringLiteral("favorites")});

    ScreenshotWalk::add(QStringLiteral("discovery_categories"), kOrder + 4,
                        [](Context& ctx) { categoriesTab(ctx); });

    ScreenshotWalk::add(QStringLiteral("discovery_category_books"), kOrder + 5, [](Context& ctx) {
        if (auto* detail = openCategory(ctx, 0))
            awaitBooks(ctx, detail->list());
    });

    ScreenshotWalk::add(QStringLiteral("discovery_list_end"), kOrder + 6, [](Context& ctx) {
        CategoryDetailViewController* detail = openCategory(ctx, 1);
        if (!detail)
            return;
        BookListPanel* panel = detail->list();
        awaitBooks(ctx, panel);
        PullingRefreshTableView* table = panel->table();
        // Pull up page by page; the last pull runs at real speed, so that the end's message
        // stays in view for the picture.
        for (int pulls = 0; pulls < 20 && !table->reachedTheEnd(); ++pulls) {
            table->setContentOffsetY(std::max(0, table->contentHeight() - table->height()) + 70);
            const bool last = panel->books().size() >= panel->pager().count();
            if (last) {
                Timing::setSpeed(1);
                ctx.addCleanUp([] { Timing::setSpeed(0); });
            }
            table->tableViewDidEndDragging();
            if (!waitFor(ctx, [panel] { return isIdle(panel); }))
                break;
        }
        // The pull strip closes (0.36 s), then the message slides in (0.4 s) and stays 1.2 s.
        if (!table->reachedTheEnd() ||
            !waitFor(
                ctx, [table] { return table->msgLabel() != nullptr; }, 3000))
            ctx.fail(QStringLiteral("the list did not end with its message"));
        ctx.settle(500);
    });

    ScreenshotWalk::add(QStringLiteral("discovery_search_results"), kOrder + 7, [](Context& ctx) {
        auto* tab = tabRoot<FifthViewController>(ctx, 4);
        if (!tab) {
            ctx.fail(QStringLiteral("no search tab"));
            return;
        }
        popSearchTab(ctx, tab);
        SearchDetailViewController* results = search(ctx, tab, kKeyword);
        if (!results) {
            ctx.fail(QStringLiteral("the search did not open its results"));
            return;
        }
        awaitBooks(ctx, results->list());
    });

    ScreenshotWalk::add(QStringLiteral("discovery_search_history"), kOrder + 8, [](Context& ctx) {
        auto* tab = tabRoot<FifthViewController>(ctx, 4);
        if (!tab) {
            ctx.fail(QStringLiteral("no search tab"));
            return;
        }
        // Two more searches, then back to the tab: the newest first.
        for (const QString& keyword : {QStringLiteral("城"), QStringLiteral("夜")}) {
            if (search(ctx, tab, keyword))
                tab->navigationController()->popToRootViewController(false);
            ctx.settle(50);
        }
        if (tab->searchResultList.size() < 2)
            ctx.fail(
                QStringLiteral("the history holds %1 entries").arg(tab->searchResultList.size()));
    });

    ScreenshotWalk::add(QStringLiteral("discovery_search_empty"), kOrder + 9, [](Context& ctx) {
        auto* tab = tabRoot<FifthViewController>(ctx, 4);
        if (!tab) {
            ctx.fail(QStringLiteral("no search tab"));
            return;
        }
        // The clear row, as a tap on it; the notice shows at real speed.
        tab->searchBar()->clear();
        Timing::setSpeed(1);
        ctx.addCleanUp([] { Timing::setSpeed(0); });
        tab->didSelectRow(int(tab->searchResultList.size()));
        if (!waitFor(ctx, [tab] { return !tab->isClearing(); }) || !tab->searchResultList.isEmpty())
            ctx.fail(QStringLiteral("the history was not cleared"));
        ctx.settle(400);
    });
}
