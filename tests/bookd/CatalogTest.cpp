// The sample catalog: deterministic, varied enough for every screen, quick to seed; and
// the failures bookd produces on purpose.
#include <QElapsedTimer>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>
#include <tuple>

#include "tests/bookd/BookdHarness.h"
#include "tools/bookd/SampleCatalog.h"

using namespace bookdtest;

TEST(BookdCatalog, IsTheSameEveryTimeAndCoversWhatTheScreensShow) {
    const QList<SampleBook> books = SampleCatalog::books();
    const QList<SampleBook> again = SampleCatalog::books();
    ASSERT_EQ(books.size(), again.size());
    for (int i = 0; i < books.size(); ++i) {
        EXPECT_EQ(std::tie(books[i].title, books[i].author, books[i].chapters, books[i].intro),
                  std::tie(again[i].title, again[i].author, again[i].chapters, again[i].intro));
    }
    EXPECT_EQ(SampleCatalog::chapterContent(17, 3), SampleCatalog::chapterContent(17, 3));
    EXPECT_NE(SampleCatalog::chapterContent(17, 3), SampleCatalog::chapterContent(17, 4));

    EXPECT_GE(SampleCatalog::categories().size(), 9);
    EXPECT_GE(books.size(), 60);
    QSet<int> lengths, categoriesUsed;
    QSet<QString> titles;
    int markup = 0, nbsp = 0, nullSite = 0;
    for (const SampleBook& b : books) {
        lengths.insert(b.chapters);
        titles.insert(b.title);
        categoriesUsed.insert(b.categoryId);
        markup += b.intro.contains('<');
        nbsp += b.intro.contains("&nbsp;");
        nullSite += !b.hasSiteName;
    }
    EXPECT_EQ(titles.size(), books.size()) << "titles are unique";
    for (int n : {1, 10, 11, 12, 25, 100})
        EXPECT_TRUE(lengths.contains(n)) << n;
    EXPECT_GE(std::count_if(lengths.begin(), lengths.end(), [](int n) { return n >= 200; }), 2);
    EXPECT_EQ(categoriesUsed.size(), SampleCatalog::categories().size());
    EXPECT_GT(markup, 0);
    EXPECT_GT(nbsp, 0);
    EXPECT_EQ(nullSite, 1) << "one book comes without a source site name";

    for (int chapter = 1; chapter <= 40; ++chapter) {
        const qsizetype bytes =
            SampleCatalog::chapterContent(1 + chapter % 7, chapter).toUtf8().size();
        EXPECT_GE(bytes, 3 * 1024);
        EXPECT_LE(bytes, 10 * 1024);
    }
    EXPECT_FALSE(QImage::fromData(SampleCatalog::coverImage(1, "png"), "PNG").isNull());
    EXPECT_FALSE(QImage::fromData(SampleCatalog::coverImage(2, "jpg"), "JPEG").isNull());
}

TEST(BookdCatalog, SeedsQuicklyAndKeepsItsDataAcrossRestarts) {
    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    {
        BookStore store(nullptr);
        ASSERT_TRUE(store.open(dir.path()));
        EXPECT_LT(timer.elapsed(), 2000) << "seeding took " << timer.elapsed() << " ms";
        ASSERT_GT(store.createUser("13500000001", {}, "secret88", "IP_4S"), 0);
        store.setFavourite(1, 3, true);
    }
    BookStore reopened(nullptr);
    ASSERT_TRUE(reopened.open(dir.path()));
    EXPECT_EQ(reopened.rowCount("books"), int(SampleCatalog::books().size())) << "not seeded twice";
    EXPECT_EQ(reopened.rowCount("users"), 1);
    EXPECT_EQ(reopened.favourites(1, {}, "http://h").count, 1);
}

TEST(BookdFailures, EveryAnswerFailsAtRateOne) {
    BookServerOptions options;
    options.failRate = 1.0;
    LocalBookd bookd(options);
    ASSERT_TRUE(bookd.started());
    ServiceConfig::setBaseUrl(bookd.base());
    QSet<QString> kinds;
    for (int i = 0; i < 40; ++i) {
        // Through the client's own code each is a failure or a refusal, never a success.
        const Reply r = fetch(Service::categorylistUrl());
        EXPECT_FALSE(r.ok());
        kinds.insert(!r.finished        ? "dropped"
                     : r.status == 500  ? "500"
                     : r.json.isEmpty() ? "not json"
                                        : "other: " + r.body);
    }
    EXPECT_EQ(kinds, (QSet<QString>{"dropped", "500", "not json"}));
}

TEST(BookdFailures, DelayHoldsEveryAnswer) {
    BookServerOptions options;
    options.delayMs = 300;
    LocalBookd bookd(options);
    ASSERT_TRUE(bookd.started());
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(fetch(QUrl(bookd.base() + "/data/categorylist")).status, 200);
    EXPECT_GE(timer.elapsed(), 300);
}
