// The recommendation and ranking tabs, a category's books and the search results, over the
// fake service: what each asks for, what each list holds, and how each list ends.
#include <QLabel>
#include <QMouseEvent>

#include "app/tooles.h"
#include "catalog/BookDetailViewController.h"
#include "catalog/CategoryDetailViewController.h"
#include "catalog/RecommendCell.h"
#include "catalog/SearchDetailViewController.h"
#include "catalog/SecondViewController.h"
#include "catalog/SegmentedBookLists.h"
#include "catalog/ThirdViewController.h"
#include "platform/Localizable.h"
#include "platform/Timing.h"
#include "platform/ui/Button.h"
#include "platform/ui/NoticeView.h"
#include "storage/UserStore.h"
#include "tests/discovery/DiscoverySupport.h"
#include "widgets/ActivityIndicatorView.h"
#include "widgets/EGOImageButton.h"

using namespace discoverytest;

namespace {

const QString kSuggest = QStringLiteral("/data/suggest");
const QString kBooklist = QStringLiteral("/data/booklist");


// Waits until the panel's list settles with n books and no request on its way.
bool settlesWith(BookListPanel* panel, int n) {
    return testutil::waitUntil([&] {
        return !panel->pager().isLoading() && !panel->pager().isPending() &&
               panel->books().size() == n && !isLoading(panel->table());
    });
}

// A tap (press and release) at pos in widget, delivered as the window would deliver it.
void click(QWidget* widget, const QPoint& pos) {
    ASSERT_TRUE(widget);
    const QPointF global = widget->mapToGlobal(QPointF(pos));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

// Runs fn at real speed, so that a sliding message stays long enough to be seen.
class RealSpeed {
public:
    RealSpeed() { Timing::setSpeed(1); }
    ~RealSpeed() { Timing::setSpeed(0); }
};

// Waits for the list's sliding message to show text.
bool slidesIn(PullingRefreshTableView* table, const QString& text) {
    return testutil::waitUntil(
        [&] { return table->msgLabel() && table->msgLabel()->text() == text; }, 15000);
}

class ListScreens : public DiscoveryTest {
protected:
    CategoryDetailViewController* openCategory(int id) {
        auto* screen = new CategoryDetailViewController();
        screen->cateid = id;
        return show(screen);
    }
    // The ranking screen over lists of those sizes; true once its first list holds n books.
    ThirdViewController* openRankings(const std::map<QString, int>& totals, int n = 11) {
        serveLists(kBooklist, "order", totals);
        auto* screen = show(new ThirdViewController());
        EXPECT_TRUE(settlesWith(screen->lists()->panel(0), n));
        return screen;
    }
};

} // namespace

TEST_F(ListScreens, RecommendationsAskForEachSegmentTheFirstTimeItIsShown) {
    const std::map<QString, int> totals{{"daily", 11}, {"popular", 5}};
    serveLists(kSuggest, "category", totals);
    auto* screen = show(new SecondViewController());
    BookListPanel* daily = screen->lists()->panel(0);
    BookListPanel* popular = screen->lists()->panel(1);
    ASSERT_TRUE(settlesWith(daily, 11));
    EXPECT_EQ(idsOf(daily), range(1, 11));
    EXPECT_EQ(pagesAsked(kSuggest, "category", "daily"), QList<int>{1});
    EXPECT_TRUE(pagesAsked(kSuggest, "category", "popular").isEmpty());
    EXPECT_FALSE(daily->table()->reachedTheEnd()) << "11 of 11 leaves the list open";

    screen->segmentedControlChangedValue(1);
    EXPECT_EQ(screen->currentIndex(), 1);
    EXPECT_TRUE(popular->table()->isVisible());
    EXPECT_FALSE(daily->table()->isVisible());
    ASSERT_TRUE(settlesWith(popular, 5));
    EXPECT_EQ(idsOf(popular), range(1001, 1005));
    EXPECT_EQ(pagesAsked(kSuggest, "category", "popular"), QList<int>{1});

    // Back to "daily": its rows are still there, nothing is asked.
    screen->segmentedControlChangedValue(0);
    testutil::spin(50);
    EXPECT_EQ(service->requests(kSuggest).size(), 2);
    EXPECT_EQ(daily->table()->rowCount(), 11);

    // The second page of a list of 11 holds nothing and ends it with "没有了".
    {
        RealSpeed real;
        pullUp(daily->table());
        EXPECT_TRUE(slidesIn(daily->table(), QStringLiteral("没有了")));
    }
    EXPECT_TRUE(daily->table()->reachedTheEnd());
    EXPECT_EQ(pagesAsked(kSuggest, "category", "daily"), (QList<int>{1, 2}));
    EXPECT_EQ(daily->books().size(), 11);
}

TEST_F(ListScreens, RankingsKeepEachSegmentsListAndCounter) {
    const std::map<QString, int> totals{{"read", 30}, {"favouite", 25}};
    auto* screen = openRankings(totals);
    BookListPanel* reads = screen->lists()->panel(0);
    BookListPanel* favs = screen->lists()->panel(1);
    pullUp(reads->table());
    ASSERT_TRUE(settlesWith(reads, 22));

    screen->segmentedControlChangedValue(1);
    ASSERT_TRUE(settlesWith(favs, 11));
    const int base = baseOf(totals, "favouite");
    EXPECT_EQ(idsOf(favs), range(base + 1, base + 11));

    screen->segmentedControlChangedValue(0);
    pullUp(reads->table());
    ASSERT_TRUE(settlesWith(reads, 30));
    EXPECT_EQ(pagesAsked(kBooklist, "order", "read"), (QList<int>{1, 2, 3}));
    EXPECT_EQ(pagesAsked(kBooklist, "order", "favouite"), QList<int>{1});
    const int readBase = baseOf(totals, "read");
    EXPECT_EQ(idsOf(reads), range(readBase + 1, readBase + 30));
    EXPECT_EQ(favs->pager().page(), 1);

    // A pull-down starts again at page 1 with an empty list.
    pullDown(reads->table());
    ASSERT_TRUE(testutil::waitUntil(
        [&] { return reads->pager().page() == 1 && !reads->pager().isLoading(); }));
    ASSERT_TRUE(settlesWith(reads, 11));
    EXPECT_EQ(pagesAsked(kBooklist, "order", "read"), (QList<int>{1, 2, 3, 1}));
}

TEST_F(ListScreens, ARankingAnswerArrivingAfterASwitchGoesToTheSegmentThatAskedForIt) {
    const std::map<QString, int> totals{{"read", 30}, {"favouite", 25}};
    auto* screen = openRankings(totals);
    BookListPanel* reads = screen->lists()->panel(0);
    BookListPanel* favs = screen->lists()->panel(1);

    serveLists(kBooklist, "order", totals, 400); // the next answers take a while
    pullUp(reads->table());
    ASSERT_TRUE(testutil::waitUntil([&] { return reads->pager().isLoading(); }));
    screen->segmentedControlChangedValue(1);
    ASSERT_TRUE(settlesWith(favs, 11));
    ASSERT_TRUE(settlesWith(reads, 22));
    EXPECT_EQ(idsOf(reads), range(baseOf(totals, "read") + 1, baseOf(totals, "read") + 22));
    EXPECT_EQ(idsOf(favs), range(baseOf(totals, "favouite") + 1, baseOf(totals, "favouite") + 11));
}

TEST_F(ListScreens, ARefusedRankingEndsTheLoadingAndLetsTheUserPullAgain) {
    service->route("GET", kBooklist, FakeService::Reply::json(R"({"result":"fail","msg":"busy"})"));
    auto* screen = show(new ThirdViewController());
    BookListPanel* reads = screen->lists()->panel(0);
    ASSERT_TRUE(testutil::waitUntil([&] { return service->requests(kBooklist).size() == 1; }));
    ASSERT_TRUE(testutil::waitUntil(
        [&] { return !reads->pager().isLoading() && !isLoading(reads->table()); }));
    EXPECT_FALSE(reads->table()->reachedTheEnd());
    EXPECT_TRUE(reads->books().isEmpty());

    serveLists(kBooklist, "order", {{"read", 3}, {"favouite", 0}});
    pullDown(reads->table());
    ASSERT_TRUE(settlesWith(reads, 3));
    EXPECT_EQ(pagesAsked(kBooklist, "order", "read"), (QList<int>{1, 1}));
}

TEST_F(ListScreens, TappingARowOrItsCoverOpensTheBook) {
    BookListPanel* reads = openRankings({{"read", 4}, {"favouite", 0}}, 4)->lists()->panel(0);
    const int base = baseOf({{"read", 4}, {"favouite", 0}}, "read");

    // A tap on the row's texts reaches the table, which opens the book.
    click(reads->cellAt(2), QPoint(200, 36));
    auto* detail = qobject_cast<BookDetailViewController*>(nav->topViewController());
    ASSERT_TRUE(detail);
    EXPECT_EQ(Service::textOf(detail->bookInfo().myId()).toInt(), base + 3);
    nav->popViewController(false);

    click(reads->cellAt(1)->imagePhoto(), QPoint(20, 20));
    detail = qobject_cast<BookDetailViewController*>(nav->topViewController());
    ASSERT_TRUE(detail);
    EXPECT_EQ(Service::textOf(detail->bookInfo().myId()).toInt(), base + 2);
}

TEST_F(ListScreens, CategoryRefreshButtonAppendsTheNextPageAndEndsAfterTheLast) {
    serveLists(kBooklist, "category", {{"7", 25}});
    auto* screen = openCategory(7);
    BookListPanel* list = screen->list();
    ASSERT_TRUE(settlesWith(list, 11));

    screen->action(2);
    EXPECT_TRUE(screen->activityIndicator()->isAnimating());
    EXPECT_TRUE(screen->btnRefresh()->isHidden());
    ASSERT_TRUE(settlesWith(list, 22));
    EXPECT_FALSE(screen->activityIndicator()->isAnimating());
    EXPECT_FALSE(screen->btnRefresh()->isHidden());

    pullUp(list->table());
    ASSERT_TRUE(settlesWith(list, 25));
    EXPECT_FALSE(list->table()->reachedTheEnd());
    {
        RealSpeed real;
        pullUp(list->table());
        EXPECT_TRUE(slidesIn(list->table(), QStringLiteral("没有了")));
    }
    EXPECT_TRUE(list->table()->reachedTheEnd());
    EXPECT_EQ(idsOf(list), range(1, 25));
    EXPECT_EQ(pagesAsked(kBooklist, "category", "7"), (QList<int>{1, 2, 3, 4}));
}

TEST_F(ListScreens, CategoryRequestsCarryTheTokenOnlyWhenSignedIn) {
    serveLists(kBooklist, "category", {{"3", 2}});
    ASSERT_TRUE(settlesWith(openCategory(3)->list(), 2));
    nav->popViewController(false);

    UserStore::signIn(QStringLiteral("tok-9"), {{QStringLiteral("id"), 9}}, QStringLiteral("a"));
    ASSERT_TRUE(settlesWith(openCategory(3)->list(), 2));

    const QList<FakeService::Request> asked = service->requests(kBooklist);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_FALSE(asked[0].hasQueryKey("token"));
    EXPECT_EQ(asked[1].queryValue("token"), QStringLiteral("tok-9"));
    // The checksum covers exactly the values sent: without a token, none is signed.
    for (const FakeService::Request& r : asked) {
        QVariantMap params;
        for (const auto& [k, v] : r.query) {
            if (k != QLatin1String("checksum"))
                params.insert(k, v);
        }
        EXPECT_EQ(QStringLiteral("?") + QString::fromUtf8(r.rawQuery),
                  QStringLiteral("?") + tooles::createURl(params));
    }
}

TEST_F(ListScreens, CategoryRefusalAndNetworkFailure) {
    service->route("GET", kBooklist, FakeService::Reply::json(R"({"result":"fail"})"));
    {
        RealSpeed real;
        auto* screen = openCategory(5);
        EXPECT_TRUE(
            slidesIn(screen->list()->table(), QStringLiteral("您所请求的分类下没有相关书籍")));
        EXPECT_TRUE(screen->list()->table()->reachedTheEnd());
    }
    nav->popViewController(false);

    service->route("GET", kBooklist, FakeService::Reply::dropped());
    auto* failing = openCategory(5);
    NoticeView* notice = failing->findChild<NoticeView*>(QStringLiteral("notify"));
    ASSERT_TRUE(notice);
    ASSERT_TRUE(testutil::waitUntil([&] { return notice->displayCount() == 1; }, 20000));
    EXPECT_EQ(notice->imageName(), QStringLiteral("read_refresh_no"));
    EXPECT_FALSE(failing->list()->table()->reachedTheEnd());
    EXPECT_FALSE(isLoading(failing->list()->table()));
    EXPECT_FALSE(failing->activityIndicator()->isAnimating());
}

TEST_F(ListScreens, SearchResultsCountTheirHitsAndNameTheSourceSite) {
    service->route("GET", kBooklist, [](const FakeService::Request& r) {
        if (r.queryValue("keyword") != QStringLiteral("剑"))
            return FakeService::Reply::json(R"({"result":"ok","books":[],"count":0})");
        QJsonArray books{bookJson(1, "剑", QStringLiteral("乙站")), bookJson(2, "剑", QString())};
        return FakeService::Reply::json(
            QJsonDocument(QJsonObject{{"result", "ok"}, {"books", books}, {"count", "2"}})
                .toJson(QJsonDocument::Compact));
    });
    auto* screen = new SearchDetailViewController();
    screen->searchStr = QStringLiteral("剑");
    show(screen);
    ASSERT_TRUE(settlesWith(screen->list(), 2));
    EXPECT_EQ(screen->searchCount, 2);
    EXPECT_EQ(screen->labelSearchCount()->text(), SearchDetailViewController::countText(2));
    EXPECT_EQ(screen->list()->cellAt(0)->categoryLabel()->text(), QStringLiteral("来源站点: 乙站"));
    EXPECT_EQ(screen->list()->cellAt(1)->categoryLabel()->text(), QStringLiteral("来源站点: 未知"));
    nav->popViewController(false);

    auto* none = new SearchDetailViewController();
    none->searchStr = QStringLiteral("无此书");
    {
        RealSpeed real;
        show(none);
        EXPECT_EQ(none->labelSearchCount()->text(), L("In the search"));
        EXPECT_TRUE(slidesIn(none->list()->table(), QStringLiteral("没有了")));
    }
    EXPECT_TRUE(none->list()->table()->reachedTheEnd());
    EXPECT_EQ(none->searchCount, 0);
    EXPECT_EQ(none->labelSearchCount()->text(), SearchDetailViewController::countText(0));
    EXPECT_EQ(service->requests(kBooklist).last().queryValue("keyword"), QStringLiteral("无此书"));
}

TEST_F(ListScreens, AScreenLeftWhileItsPageIsOnItsWayIsNotCalledBack) {
    serveLists(kBooklist, "category", {{"4", 30}}, 300);
    QPointer<CategoryDetailViewController> guard(openCategory(4));
    ASSERT_TRUE(service->waitForRequests(1));
    nav->popViewController(false);
    ASSERT_TRUE(testutil::waitUntil([&] { return guard.isNull(); }));
    testutil::spin(500); // the answer arrives for nobody
    EXPECT_EQ(service->requests(kBooklist).size(), 1);
}
