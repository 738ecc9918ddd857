#include <QFile>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include "engines/EGOCache.h"
#include "engines/EGOImageLoader.h"
#include "platform/Clock.h"
#include "platform/Timing.h"
#include "tests/support/TestUtil.h"

namespace {

class EGOCacheTest : public ::testing::Test {
protected:
    void SetUp() override { EGOCache::releaseCurrentCache(); }
    void TearDown() override {
        EGOCache::releaseCurrentCache();
        Timing::setSpeed(0);
        Clock::reset();
    }
    static EGOCache* cache() { return EGOCache::currentCache(); }
    static QString indexPath() { return cache()->directory() + "/EGOCache.plist"; }

    testutil::ScopedHome home;
};

TEST_F(EGOCacheTest, EntriesExpireAfterTheirIntervalAndSurviveARelaunch) {
    const QDateTime start(QDate(2026, 5, 1), QTime(12, 0), Qt::UTC);
    Clock::setNow(start);
    EXPECT_TRUE(cache()->directory().startsWith(home.path()));
    ASSERT_TRUE(cache()->setData("day", "a")); // the default interval: a day
    ASSERT_TRUE(cache()->setData("week", "b", EGOImageLoader::kImageCacheInterval));
    cache()->flush();
    EXPECT_TRUE(cache()->hasCacheForKey("a"));
    EXPECT_EQ(cache()->dataForKey("b"), QByteArray("week"));

    Clock::setNow(start.addDays(2));
    EXPECT_FALSE(cache()->hasCacheForKey("a"));
    // Until the cache is created again, an expired file is still there to be read.
    EXPECT_EQ(cache()->dataForKey("a"), QByteArray("day"));

    EGOCache::releaseCurrentCache();
    EXPECT_FALSE(QFile::exists(cache()->directory() + "/a"));
    EXPECT_TRUE(cache()->hasCacheForKey("b"));
    EXPECT_EQ(cache()->expiryDateForKey("b"), start.addDays(7));
}

// Only lower bounds on real time: a busy machine makes timers late, never early.
TEST_F(EGOCacheTest, EachChangePostponesTheIndexWrite) {
    Timing::setSpeed(10); // the pause is 3 s
    QElapsedTimer sinceFirst;
    sinceFirst.start();
    cache()->setData("1", "k1");
    testutil::spin(1500);
    if (sinceFirst.elapsed() > 2500 || QFile::exists(indexPath()))
        GTEST_SKIP() << "the machine stalled past the pause";
    QElapsedTimer sinceSecond;
    sinceSecond.start();
    cache()->setData("2", "k2");
    ASSERT_TRUE(testutil::waitUntil([] { return QFile::exists(indexPath()); }, 30000));
    // Written a whole pause after the second change, not one pause after the first.
    EXPECT_GE(sinceSecond.elapsed(), 2800);
    QFile index(indexPath());
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QByteArray text = index.readAll();
    EXPECT_TRUE(text.contains("<key>k1</key>") && text.contains("<key>k2</key>"));
}

// The application quits before the pause is over: the index still gets the new entries, and
// a file that did end up without an index line does not stay for ever.
TEST_F(EGOCacheTest, QuittingWritesThePendingIndexAndUnknownFilesGoAtTheNextStart) {
    Timing::setSpeed(100); // the pause would be 30 s
    const QString dir = cache()->directory();
    ASSERT_TRUE(cache()->setData("late", "k-late"));
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    qApp->exec(); // one turn of a real run's loop, ended as a quit ends it
    ASSERT_TRUE(QFile::exists(indexPath()));
    EGOCache::releaseCurrentCache();

    QFile stray(dir + "/EGOImageLoader-123");
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("orphan");
    stray.close();
    EXPECT_TRUE(cache()->hasCacheForKey("k-late"));
    EXPECT_EQ(cache()->dataForKey("k-late"), QByteArray("late"));
    EXPECT_FALSE(QFile::exists(stray.fileName()));
    EXPECT_TRUE(QFile::exists(indexPath()));
}

TEST_F(EGOCacheTest, KeysThatAreNotFilesOfTheCacheAreRefused) {
    EXPECT_FALSE(cache()->setData("x", "EGOCache.plist"));
    EXPECT_FALSE(cache()->setData("x", "../outside"));
    EXPECT_FALSE(cache()->setData("x", ""));
    cache()->flush();
    EXPECT_FALSE(QFile::exists(cache()->directory() + "/../outside"));
    EXPECT_FALSE(QFile::exists(indexPath()));
}

TEST(EGOImageLoaderKey, KeyIsStableAndNamedAfterTheLoader) {
    const QUrl url("http://example.invalid/covers/1.jpg");
    const QString key = EGOImageLoader::keyForURL(url);
    EXPECT_TRUE(key.startsWith("EGOImageLoader-"));
    bool ok = false;
    key.mid(15).toUInt(&ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(key, EGOImageLoader::keyForURL(QUrl("http://example.invalid/covers/1.jpg")));
    EXPECT_NE(key, EGOImageLoader::keyForURL(QUrl("http://example.invalid/covers/2.jpg")));
}

} // namespace
