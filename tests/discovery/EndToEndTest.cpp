// The discovery screens against bookd: every list kind shows the books bookd holds for it,
// page by page to the end.
#include <QJsonArray>

#include "catalog/CategoryDetailViewController.h"
#include "catalog/SearchDetailViewController.h"
#include "catalog/SecondViewController.h"
#include "catalog/SegmentedBookLists.h"
#include "catalog/ThirdViewController.h"
#include "tests/bookd/BookdHarness.h"
#include "tests/discovery/DiscoverySupport.h"

using namespace discoverytest;

namespace {

class DiscoveryEndToEnd : public DiscoveryTest {
protected:
    void SetUp() override {
        DiscoveryTest::SetUp();
        ASSERT_TRUE(bookdtest::shared().started());
    }
    void TearDown() override {
        DiscoveryTest::TearDown();
        ServiceConfig::setBaseUrl(service->baseUrl());
    }

    // The book ids bookd lists for path and params, every page.
    static QList<int> bookdIds(const QString& path, const QVariantMap& params) {
        QList<int> ids;
        for (int page = 1;; ++page) {
            const bookdtest::Reply r = bookdtest::call(path, bookdtest::page(params, page));
            const QJsonArray books = r.json.value("books").toArray();
            if (!r.ok() || books.isEmpty())
                return ids;
            for (const QJsonValue& b : books)
                ids.append(b.toObject().value("book_id").toInt());
        }
    }

    // Pulls the panel's list up until it reports its end; the books it then holds.
    static QList<int> pullToTheEnd(BookListPanel* panel) {
        EXPECT_TRUE(testutil::waitUntil(
            [&] { return panel->pager().page() >= 1 && !panel->pager().isLoading(); }, 20000));
        for (int pulls = 0; pulls < 40 && !panel->table()->reachedTheEnd(); ++pulls) {
            testutil::waitUntil([&] { return !isLoading(panel->table()); });
            pullUp(panel->table());
            EXPECT_TRUE(testutil::waitUntil(
                [&] { return !panel->pager().isPending() && !panel->pager().isLoading(); }, 20000));
        }
        EXPECT_TRUE(panel->table()->reachedTheEnd());
        EXPECT_EQ(panel->table()->rowCount(), panel->books().size());
        return idsOf(panel);
    }
};

} // namespace

TEST_F(DiscoveryEndToEnd, EveryListShowsTheBooksBookdHoldsPageByPage) {
    // Both segments of the recommendations and of the rankings, each at least `atLeast` long.
    const auto everySegment = [&](auto* screen, const QString& path, const QString& key,
                                  const QStringList& lists, int atLeast) {
        show(screen);
        for (int segment = 0; segment < 2; ++segment) {
            SCOPED_TRACE(lists[segment].toStdString());
            screen->segmentedControlChangedValue(segment);
            const QList<int> expected = bookdIds(path, {{key, lists[segment]}});
            ASSERT_GT(expected.size(), atLeast);
            EXPECT_EQ(pullToTheEnd(screen->lists()->panel(segment)), expected);
        }
        nav->popToRootViewController(false);
    };
    everySegment(new SecondViewController(), "/data/suggest", "category", {"daily", "popular"}, 11);
    everySegment(new ThirdViewController(), "/data/booklist", "order", {"read", "favouite"}, 22);

    auto* category = new CategoryDetailViewController();
    category->cateid = 1;
    show(category);
    const QList<int> inCategory = bookdIds("/data/booklist", {{"category", "1"}});
    ASSERT_FALSE(inCategory.isEmpty());
    EXPECT_EQ(pullToTheEnd(category->list()), inCategory);
    nav->popToRootViewController(false);

    for (const QString& keyword : {QStringLiteral("剑"), QStringLiteral("C++ & 剑")}) {
        SCOPED_TRACE(keyword.toStdString());
        auto* search = new SearchDetailViewController();
        search->searchStr = keyword;
        show(search);
        const QList<int> found = bookdIds("/data/booklist", {{"keyword", keyword}});
        EXPECT_EQ(pullToTheEnd(search->list()), found);
        EXPECT_EQ(search->searchCount, found.size());
        nav->popToRootViewController(false);
    }
}
