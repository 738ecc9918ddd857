// The categories tab (fetched once, kept in the book database) and the search tab with its
// history.
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>

#include "catalog/CategoryDetailViewController.h"
#include "catalog/FifthViewController.h"
#include "catalog/FouthViewController.h"
#include "catalog/SearchDetailViewController.h"
#include "platform/Clock.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/NoticeView.h"
#include "tests/discovery/DiscoverySupport.h"

using namespace discoverytest;

namespace {

const QString kCategories = QStringLiteral("/data/categorylist");

class CategoriesTab : public DiscoveryTest {};
class SearchTab : public DiscoveryTest {
protected:
    void TearDown() override {
        Clock::reset();
        DiscoveryTest::TearDown();
    }
};

// A categorylist answer with ids 1..n, given as text for even ids, as numbers for odd ones,
// listed in reverse.
QByteArray categoriesJson(int n) {
    QJsonArray list;
    for (int id = n; id >= 1; --id) {
        list.append(QJsonObject{{"id", id % 2 ? QJsonValue(id) : QJsonValue(QString::number(id))},
                                {"name", QStringLiteral("类%1").arg(id)}});
    }
    return QJsonDocument(QJsonObject{{"result", "ok"}, {"category", list}})
        .toJson(QJsonDocument::Compact);
}

QList<int> tagsOf(const FouthViewController* tab) {
    QList<int> tags;
    for (const Button* b : tab->categoryButtons())
        tags.append(b->tag());
    return tags;
}

// The tab comes into view again (as when its tab is chosen anew).
template <typename T> T* appearing(T* tab) {
    if (tab->isAppearing()) {
        tab->beginDisappearance(false);
        tab->endDisappearance(false);
    }
    tab->beginAppearance(false);
    tab->endAppearance(false);
    return tab;
}

QStringList storedHistory() {
    return BookDb().selectAllSearchRecords();
}

} // namespace

TEST_F(CategoriesTab, FetchesOnceStoresAndReadsTheStoreEverAfter) {
    service->route("GET", kCategories, FakeService::Reply::json(categoriesJson(12)));
    auto* tab = appearing(show(new FouthViewController()));
    ASSERT_TRUE(testutil::waitUntil([&] { return tab->categoryButtons().size() == 12; }));
    EXPECT_EQ(service->requests(kCategories).size(), 1);
    // Numeric order, whether the id came as text or as a number: 9 before 12.
    EXPECT_EQ(tagsOf(tab), range(1, 12));
    EXPECT_EQ(tab->gridRowCount(), 3);
    ASSERT_TRUE(testutil::waitUntil([] { return BookDb().selectCategory().size() == 12; }));
    nav->popViewController(false);

    // A new tab, as after a restart: read from the database, the service is not asked.
    service->clearRequests();
    auto* again = appearing(show(new FouthViewController()));
    testutil::spin(100);
    EXPECT_EQ(service->requests(kCategories).size(), 0);
    EXPECT_EQ(tagsOf(again), range(1, 12));
    EXPECT_EQ(again->categoryButtons().at(8)->findChild<QLabel*>()->text(), QStringLiteral("类9"));

    // A category opens its books, titled with its name.
    again->onClick(9);
    auto* detail = qobject_cast<CategoryDetailViewController*>(nav->topViewController());
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->cateid, 9);
    EXPECT_EQ(detail->title(), QStringLiteral("类9"));
}

TEST_F(CategoriesTab, NineCategoriesMakeRowsOfFourFourAndOne) {
    service->route("GET", kCategories, FakeService::Reply::json(categoriesJson(9)));
    auto* tab = appearing(show(new FouthViewController()));
    ASSERT_TRUE(testutil::waitUntil([&] { return tab->categoryButtons().size() == 9; }));
    QMap<int, int> perRow;
    const int w = Window::screenBounds().width();
    for (const Button* b : tab->categoryButtons())
        perRow[b->y() / FouthViewController::kRowHeight]++;
    EXPECT_EQ(perRow.values(), (QList<int>{4, 4, 1}));
    // A full row sits in the middle of the screen.
    const QRect first = tab->categoryButtons().at(0)->geometry();
    const QRect fourth = tab->categoryButtons().at(3)->geometry();
    EXPECT_LE(std::abs(first.left() - (w - fourth.right() - 1)), 1);
}

TEST_F(CategoriesTab, RowsThatDoNotFitTheScreenScroll) {
    service->route("GET", kCategories, FakeService::Reply::json(categoriesJson(40)));
    auto* tab = appearing(show(new FouthViewController()));
    ASSERT_TRUE(testutil::waitUntil([&] { return tab->categoryButtons().size() == 40; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(tab->gridRowCount(), 10);
    QScrollBar* bar = tab->grid()->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    const QPoint last =
        tab->categoryButtons().last()->mapTo(tab->grid()->viewport(), QPoint(0, 56));
    EXPECT_LE(last.y(), tab->grid()->viewport()->height())
        << "the last row can be brought into view";
}

TEST_F(CategoriesTab, AFailedOrRefusedFetchIsAskedAgainAtTheNextAppearance) {
    service->route("GET", kCategories, FakeService::Reply::dropped());
    auto* tab = appearing(show(new FouthViewController()));
    NoticeView* notice = tab->findChild<NoticeView*>(QStringLiteral("notify"));
    ASSERT_TRUE(notice);
    ASSERT_TRUE(testutil::waitUntil([&] { return notice->displayCount() == 1; }, 20000));
    EXPECT_TRUE(tab->categoryButtons().isEmpty());

    service->route("GET", kCategories, FakeService::Reply::json(R"({"result":"fail"})"));
    const int before = int(service->requests(kCategories).size());
    appearing(tab);
    ASSERT_TRUE(testutil::waitUntil(
        [&] { return service->requests(kCategories).size() == before + 1 && !tab->isLoading(); }));
    EXPECT_TRUE(tab->categoryButtons().isEmpty());
    EXPECT_TRUE(BookDb().selectCategory().isEmpty());

    service->route("GET", kCategories, FakeService::Reply::json(categoriesJson(2)));
    appearing(tab);
    ASSERT_TRUE(testutil::waitUntil([&] { return tab->categoryButtons().size() == 2; }));
}

TEST_F(SearchTab, TrimmedKeywordsAreRecordedAndSearchedBlanksDoNothing) {
    service->route("GET", "/data/booklist",
                   FakeService::Reply::json(R"({"result":"ok","books":[],"count":0})"));
    auto* tab = show(new FifthViewController());
    appearing(tab);
    EXPECT_TRUE(tab->noSearchRecordsView()->isVisible());

    tab->searchBar()->setText(QStringLiteral(" \t \n"));
    tab->searchBarSearchButtonClicked();
    EXPECT_EQ(nav->topViewController(), tab);
    EXPECT_TRUE(storedHistory().isEmpty());

    tab->searchBar()->setText(QStringLiteral("  C++ & 剑 \n"));
    tab->searchBarSearchButtonClicked();
    auto* results = qobject_cast<SearchDetailViewController*>(nav->topViewController());
    ASSERT_TRUE(results);
    EXPECT_EQ(results->searchStr, QStringLiteral("C++ & 剑"));
    EXPECT_EQ(storedHistory(), QStringList{QStringLiteral("C++ & 剑")});
    ASSERT_TRUE(service->waitForRequests(1));
}

TEST_F(SearchTab, ARepeatedKeywordLeavesOneEntryFirst) {
    auto* tab = show(new FifthViewController());
    Clock::setNow(QDateTime::fromSecsSinceEpoch(1800000000));
    for (const char* keyword : {"甲", "乙", "丙"}) {
        tab->searchBar()->setText(QString::fromUtf8(keyword));
        tab->searchBarSearchButtonClicked();
        nav->popToViewController(tab, false);
        Clock::advance(5);
    }
    appearing(tab);
    EXPECT_EQ(tab->searchResultList, (QStringList{"丙", "乙", "甲"}));
    // Choosing an entry searches it again and moves it to the top.
    tab->didSelectRow(2);
    ASSERT_TRUE(qobject_cast<SearchDetailViewController*>(nav->topViewController()));
    nav->popToViewController(tab, false);
    appearing(tab);
    EXPECT_EQ(tab->searchResultList, (QStringList{"甲", "丙", "乙"}));
    EXPECT_EQ(tab->tableView()->rowCount(), 4) << "three entries and the clear row";
    EXPECT_EQ(tab->tableView()->item(3, 0)->text(), L("Clear search history"));
}

TEST_F(SearchTab, ClearingEmptyAndFilledHistories) {
    auto* tab = show(new FifthViewController());
    appearing(tab);
    NoticeView* notice = tab->notice();
    tab->didSelectRow(0); // the clear row of an empty history
    ASSERT_TRUE(testutil::waitUntil([&] { return notice->displayCount() == 1; }));
    EXPECT_EQ(notice->text(), L("The record is empty"));
    EXPECT_EQ(notice->imageName(), QStringLiteral("read_refresh_no"));
    ASSERT_TRUE(testutil::waitUntil([&] { return !notice->isAnimating(); }));

    BookDb().saveSearchRecords(QStringLiteral("甲"));
    BookDb().saveSearchRecords(QStringLiteral("乙"));
    appearing(tab);
    EXPECT_TRUE(tab->tableView()->isVisible());
    tab->didSelectRow(2);
    ASSERT_TRUE(testutil::waitUntil([&] { return notice->displayCount() == 2; }));
    EXPECT_EQ(notice->text(), L("Clear record of success"));
    EXPECT_EQ(notice->imageName(), QStringLiteral("read_refresh_yes"));
    EXPECT_TRUE(storedHistory().isEmpty());
    EXPECT_TRUE(tab->searchResultList.isEmpty());
    EXPECT_TRUE(tab->noSearchRecordsView()->isVisible());
    EXPECT_FALSE(tab->tableView()->isVisible());
}

TEST_F(SearchTab, SwipingAwayTheLastEntryShowsTheHintWithoutANotice) {
    Clock::setNow(QDateTime::fromSecsSinceEpoch(1800000000));
    BookDb().saveSearchRecords(QStringLiteral("甲"));
    Clock::advance(3);
    BookDb().saveSearchRecords(QStringLiteral("乙"));
    auto* tab = show(new FifthViewController());
    appearing(tab);
    ASSERT_EQ(tab->searchResultList, (QStringList{"乙", "甲"}));
    tab->commitDeleteRow(0);
    EXPECT_EQ(storedHistory(), QStringList{QStringLiteral("甲")});
    EXPECT_EQ(tab->tableView()->rowCount(), 2);
    EXPECT_TRUE(tab->tableView()->isVisible());
    tab->commitDeleteRow(0);
    EXPECT_TRUE(storedHistory().isEmpty());
    EXPECT_TRUE(tab->noSearchRecordsView()->isVisible());
    EXPECT_FALSE(tab->tableView()->isVisible());
    testutil::spin(50);
    EXPECT_EQ(tab->notice()->displayCount(), 0);
}
