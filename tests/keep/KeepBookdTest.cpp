// A whole book kept against bookd answering a fifth of its requests with failures.
#include <gtest/gtest.h>
#include <memory>

#include "catalog/BookKeeper.h"
#include "engines/HttpRequest.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "storage/KeepQueue.h"
#include "tests/bookd/BookdHarness.h"
#include "tests/keep/KeepTestSupport.h"
#include "tests/support/TestUtil.h"
#include "tools/bookd/SampleCatalog.h"

using namespace keeptest;

TEST(KeepBookdTest, HundredChapterBookEndsWholeThroughFailures) {
    testutil::ScopedHome home;
    BookServerOptions options;
    options.failRate = 0.2;
    bookdtest::LocalBookd bookd(options);
    ASSERT_TRUE(bookd.started());
    ServiceConfig::setBaseUrl(bookd.base());
    HttpRequest::setDefaultTimeOutSeconds(5);
    BookKeeper::internetReachable = [] { return true; };
    BookKeeper::wifiReachable = [] { return true; };

    const QString book = QStringLiteral("2"); // 100 chapters in the sample catalog
    BookKeeper keeper;
    keeper.setRetryDelayMs(20);
    keeper.setPollIntervalMs(50);
    int missing = -1;
    QObject::connect(&keeper, &BookKeeper::finished, &keeper,
                     [&](const QString&, int m) { missing = m; });
    keeper.start();
    ASSERT_TRUE(keeper.keep(book));
    ASSERT_TRUE(testutil::waitUntil([&] { return missing >= 0; }, 120000));
    BookDb::waitForBackgroundWrites();

    EXPECT_EQ(missing, 0);
    EXPECT_EQ(storedChapters(book), numbers(1, 100));
    EXPECT_EQ(BookDb().getCountFromChapterByBookid(book), 100); // each once
    EXPECT_EQ(markedChapters(book), numbers(1, 100));
    for (int n : {1, 37, 100})
        EXPECT_EQ(BookDb().selectChapterContent(book, n).value("content").toString(),
                  SampleCatalog::chapterContent(2, n));
    // Not on the shelf before: now it is, under the service's title.
    EXPECT_EQ(BookDb().selectBookByBookid(book).value("last_chapter_number").toString(),
              QStringLiteral("100"));
    EXPECT_TRUE(KeepQueue().entry(book).done);
}
