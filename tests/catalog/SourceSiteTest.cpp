// The source-site list: the marks, and the choice handed back to the detail screen.
#include <QLabel>
#include <QTableWidget>

#include "catalog/BookDetailViewController.h"
#include "catalog/SourceSiteCell.h"
#include "catalog/SourceSiteViewController.h"
#include "tests/catalog/CatalogTestSupport.h"
#include "tests/support/TestUtil.h"

using namespace catalogtest;

namespace {

class SourceSiteTest : public CatalogScreenTest {
protected:
    static void serveSites(const QByteArray& names) {
        service->route(
            QStringLiteral("GET"), QStringLiteral("/data/getSitesNameByBookId"),
            FakeService::Reply::json(R"({"result":"ok","book_title":"星河","author":"甲",)"
                                     R"("source_site_names":[)" +
                                     names + "]}"));
    }
    // Opens the chooser from the detail screen and waits for its list.
    static SourceSiteViewController* openSites(BookDetailViewController* detail) {
        detail->action(BookDetailViewController::TagSiteRss);
        auto* sites = qobject_cast<SourceSiteViewController*>(nav->topViewController());
        EXPECT_NE(sites, nullptr);
        if (sites) {
            EXPECT_TRUE(testutil::waitUntil([sites] { return !sites->isLoading(); }));
        }
        return sites;
    }
    static QStringList marks(SourceSiteViewController* sites) {
        QStringList out;
        for (int i = 0; i < sites->tableView()->rowCount(); ++i)
            out.append(sites->cellAt(i)->isSelectedSite() ? QStringLiteral("yes")
                                                          : QStringLiteral("no"));
        return out;
    }
};

TEST_F(SourceSiteTest, NoSiteIsMarkedWhenNoneMatches) {
    serveSites(R"({"source_site_name":"甲站"},{"source_site_name":"乙站"})");
    QVariantMap json = bookJson(QStringLiteral("702"), QStringLiteral("星河"));
    json.insert(QStringLiteral("source_site_name"), QVariant::fromValue(nullptr));
    auto* detail = openDetail(MyBookList::initWithDictionary(json));
    EXPECT_EQ(detail->labelReadSite()->text(), QStringLiteral("未知站点"));
    SourceSiteViewController* sites = openSites(detail);
    ASSERT_NE(sites, nullptr);
    EXPECT_EQ(marks(sites), QStringList({QStringLiteral("no"), QStringLiteral("no")}));
}

TEST_F(SourceSiteTest, TheCurrentSiteIsMarkedAndAChoiceShowsOnTheDetail) {
    serveSites(R"({"source_site_name":"甲站"},{"source_site_name":"乙站"})");
    auto* detail = openDetail(
        MyBookList::initWithDictionary(bookJson(QStringLiteral("703"), QStringLiteral("星河"))));
    SourceSiteViewController* sites = openSites(detail);
    ASSERT_NE(sites, nullptr);
    EXPECT_EQ(service->requests(QStringLiteral("/data/getSitesNameByBookId"))
                  .first()
                  .queryValue("book_id"),
              QStringLiteral("703"));
    ASSERT_EQ(sites->tableView()->rowCount(), 2);
    EXPECT_EQ(sites->cellAt(0)->labelTitle()->text(), QStringLiteral("星河【甲站】"));
    EXPECT_EQ(sites->cellAt(0)->labelAuthor()->text(), QStringLiteral("作者: 甲"));
    EXPECT_EQ(marks(sites), QStringList({QStringLiteral("yes"), QStringLiteral("no")}));
    sites->didSelectRow(1);
    testutil::spin(50);
    EXPECT_EQ(nav->topViewController(), detail);
    EXPECT_EQ(detail->labelReadSite()->text(), QStringLiteral("乙站"));

    sites = openSites(detail);
    ASSERT_NE(sites, nullptr);
    EXPECT_EQ(marks(sites), QStringList({QStringLiteral("no"), QStringLiteral("yes")}));
}

TEST_F(SourceSiteTest, AFailedRequestKeepsTheList) {
    serveSites(R"({"source_site_name":"甲站"})");
    auto* detail = openDetail(
        MyBookList::initWithDictionary(bookJson(QStringLiteral("704"), QStringLiteral("星河"))));
    SourceSiteViewController* sites = openSites(detail);
    ASSERT_NE(sites, nullptr);
    service->route(QStringLiteral("GET"), QStringLiteral("/data/getSitesNameByBookId"),
                   FakeService::Reply::json(R"({"result":"error","msg":"无"})"));
    // Appearing again asks again; the refusal leaves the rows as they were.
    auto* over = new ViewController();
    nav->pushViewController(over, false);
    nav->popViewController(false);
    ASSERT_TRUE(testutil::waitUntil([] {
        return service->requests(QStringLiteral("/data/getSitesNameByBookId")).size() == 2;
    }));
    ASSERT_TRUE(testutil::waitUntil([sites] { return !sites->isLoading(); }));
    EXPECT_EQ(sites->tableView()->rowCount(), 1);
    EXPECT_EQ(sites->arrSites().size(), 1);
}

} // namespace
