#include <QBuffer>
#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

#include "engines/EGOCache.h"
#include "engines/EGOImageLoader.h"
#include "platform/Clock.h"
#include "tests/support/FakeService.h"
#include "tests/support/TestUtil.h"
#include "widgets/EGOImageButton.h"
#include "widgets/EGOImageView.h"

namespace {

QByteArray png(const QColor& colour) {
    QImage image(8, 12, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QColor shown(const QPixmap& pixmap) {
    return pixmap.toImage().pixelColor(0, 0);
}

QPixmap placeholder() {
    QPixmap pm(8, 12);
    pm.fill(Qt::gray);
    return pm;
}

struct RecordingDelegate : EGOImageViewDelegate {
    int loaded = 0;
    QList<int> failures;
    void imageViewLoadedImage(EGOImageView*) override { ++loaded; }
    void imageViewFailedToLoadImage(EGOImageView*, const EGOImageLoadError& error) override {
        failures.append(error.code);
    }
};

struct RecordingButtonDelegate : EGOImageButtonDelegate {
    QList<EGOImageButton*> loaded;
    QList<int> failures;
    void imageButtonLoadedImage(EGOImageButton* button) override { loaded.append(button); }
    void imageButtonFailedToLoadImage(EGOImageButton*, const EGOImageLoadError& error) override {
        failures.append(error.code);
    }
};

// Each test gets its own home and so a cache created afresh under it.
class EGOImageViewTest : public ::testing::Test {
protected:
    void SetUp() override { EGOCache::releaseCurrentCache(); }
    void TearDown() override {
        testutil::waitUntil(
            [] { return EGOImageLoader::sharedImageLoader()->connectionCount() == 0; });
        EGOCache::releaseCurrentCache();
        Clock::reset();
    }

    QUrl cover(const QString& path) const { return QUrl(service.baseUrl() + path); }
    static EGOImageLoader* loader() { return EGOImageLoader::sharedImageLoader(); }
    void waitIdle() {
        ASSERT_TRUE(testutil::waitUntil([] { return loader()->connectionCount() == 0; }));
    }

    testutil::ScopedHome home;
    FakeService service;
};

TEST_F(EGOImageViewTest, RowsOfOneAddressShareOneRequestAndACancelledRowLeavesItToTheOthers) {
    FakeService::Reply reply = FakeService::Reply::text(png(Qt::red), "image/png");
    reply.delayMs = 150;
    service.route("GET", "/covers/1.png", reply);
    EGOImageView first(placeholder());
    EGOImageButton second(placeholder());
    EGOImageView cancelled(placeholder());
    first.setImageURL(cover("/covers/1.png"));
    second.setImageURL(cover("/covers/1.png"));
    cancelled.setImageURL(cover("/covers/1.png"));
    EXPECT_TRUE(first.showsPlaceholder());
    EXPECT_EQ(loader()->connectionCount(), 1);
    // Cancelling one row keeps the load the other rows wait for.
    cancelled.cancelImageLoad();

    ASSERT_TRUE(testutil::waitUntil(
        [&] { return !first.showsPlaceholder() && !second.showsPlaceholder(); }));
    EXPECT_EQ(shown(first.image()), QColor(Qt::red));
    EXPECT_EQ(shown(second.image()), QColor(Qt::red));
    EXPECT_TRUE(cancelled.showsPlaceholder());
    EXPECT_EQ(service.requests("/covers/1.png").size(), 1);
    EGOCache::currentCache()->flush();
    EXPECT_TRUE(loader()->hasLoadedImageURL(cover("/covers/1.png")));

    // The last row waiting for an address does cancel its load.
    service.route("GET", "/covers/alone.png", reply);
    EGOImageView alone(placeholder());
    alone.setImageURL(cover("/covers/alone.png"));
    alone.cancelImageLoad();
    EXPECT_FALSE(loader()->isLoadingURL(cover("/covers/alone.png")));
}

TEST_F(EGOImageViewTest, ARowGivenASecondAddressShowsOnlyTheSecond) {
    FakeService::Reply slow = FakeService::Reply::text(png(Qt::red), "image/png");
    slow.delayMs = 300;
    service.route("GET", "/covers/first.png", slow);
    service.route("GET", "/covers/second.png",
                  FakeService::Reply::text(png(Qt::blue), "image/png"));
    EGOImageView row(placeholder());
    row.setImageURL(cover("/covers/first.png"));
    row.setImageURL(cover("/covers/second.png"));
    ASSERT_TRUE(testutil::waitUntil([&] { return !row.showsPlaceholder(); }));
    EXPECT_EQ(shown(row.image()), QColor(Qt::blue));
    waitIdle(); // the first cover has arrived as well by now
    EXPECT_EQ(shown(row.image()), QColor(Qt::blue));
    EXPECT_EQ(row.imageURL(), cover("/covers/second.png"));
}

TEST_F(EGOImageViewTest, AFailedLoadLeavesThePlaceholderStoresNothingAndCanBeRetried) {
    RecordingDelegate delegate;
    EGOImageView row(placeholder(), &delegate);
    service.route("GET", "/covers/gone.png", FakeService::Reply::dropped());
    row.setImageURL(cover("/covers/gone.png"));
    ASSERT_TRUE(testutil::waitUntil([&] { return delegate.failures.size() == 1; }));
    EXPECT_TRUE(row.showsPlaceholder());
    EXPECT_FALSE(loader()->isLoadingURL(cover("/covers/gone.png")));

    // An answer that is no image.
    service.route("GET", "/covers/broken.png",
                  FakeService::Reply::text("<html>moved</html>", "text/html"));
    row.setImageURL(cover("/covers/broken.png"));
    ASSERT_TRUE(testutil::waitUntil([&] { return delegate.failures.size() == 2; }));
    EXPECT_EQ(delegate.failures.last(), 406);
    EXPECT_TRUE(row.showsPlaceholder());
    EXPECT_EQ(delegate.loaded, 0);
    EGOCache::currentCache()->flush();
    const QString key = EGOImageLoader::keyForURL(cover("/covers/broken.png"));
    EXPECT_FALSE(EGOCache::currentCache()->hasCacheForKey(key));
    EXPECT_FALSE(QFile::exists(EGOCache::currentCache()->directory() + "/" + key));

    // Set again, the address is asked for again and shows once it answers.
    waitIdle();
    service.route("GET", "/covers/broken.png",
                  FakeService::Reply::text(png(Qt::green), "image/png"));
    row.setImageURL(QUrl());
    row.setImageURL(cover("/covers/broken.png"));
    ASSERT_TRUE(testutil::waitUntil([&] { return !row.showsPlaceholder(); }));
    EXPECT_EQ(shown(row.image()), QColor(Qt::green));
    EXPECT_EQ(service.requests("/covers/broken.png").size(), 2);
}

TEST_F(EGOImageViewTest, AnImageOnDiskIsShownWithoutARequest) {
    const QUrl url = cover("/covers/kept.png");
    EGOCache::currentCache()->setData(png(Qt::yellow), EGOImageLoader::keyForURL(url),
                                      EGOImageLoader::kImageCacheInterval);
    EGOCache::currentCache()->flush();
    RecordingDelegate delegate;
    EGOImageView row(placeholder(), &delegate);
    row.setImageURL(url);
    EXPECT_FALSE(row.showsPlaceholder());
    EXPECT_EQ(shown(row.image()), QColor(Qt::yellow));
    EXPECT_EQ(delegate.loaded, 1);
    EXPECT_EQ(loader()->connectionCount(), 0);
    testutil::spin(50);
    EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(EGOImageViewTest, AnEntryStoredEightDaysAgoIsGoneAtTheNextCreationAndFetchedAgain) {
    const QUrl url = cover("/covers/old.png");
    service.route("GET", "/covers/old.png", FakeService::Reply::text(png(Qt::cyan), "image/png"));
    const QString key = EGOImageLoader::keyForURL(url);
    Clock::setNow(QDateTime::currentDateTime().addDays(-8));
    EGOCache::currentCache()->setData(png(Qt::magenta), key, EGOImageLoader::kImageCacheInterval);
    const QString file = EGOCache::currentCache()->directory() + "/" + key;
    EGOCache::releaseCurrentCache(); // writes the file and the index
    ASSERT_TRUE(QFile::exists(file));

    Clock::reset();
    EXPECT_FALSE(EGOCache::currentCache()->hasCacheForKey(key));
    EXPECT_FALSE(QFile::exists(file));

    EGOImageView row(placeholder());
    row.setImageURL(url);
    EXPECT_TRUE(row.showsPlaceholder());
    ASSERT_TRUE(testutil::waitUntil([&] { return !row.showsPlaceholder(); }));
    EXPECT_EQ(shown(row.image()), QColor(Qt::cyan));
    EXPECT_EQ(service.requests("/covers/old.png").size(), 1);
}

TEST_F(EGOImageViewTest, ASilentServerTimesOutAndLeavesThePlaceholder) {
    FakeService::Reply silent = FakeService::Reply::text(png(Qt::red), "image/png");
    silent.delayMs = 3000;
    service.route("GET", "/covers/slow.png", silent);
    loader()->setTimeoutInterval(0.3);
    RecordingDelegate delegate;
    EGOImageView row(placeholder(), &delegate);
    row.setImageURL(cover("/covers/slow.png"));
    const bool failed = testutil::waitUntil([&] { return !delegate.failures.isEmpty(); }, 2500);
    loader()->setTimeoutInterval(EGOImageLoader::kTimeoutInterval);
    ASSERT_TRUE(failed);
    EXPECT_TRUE(row.showsPlaceholder());
    EXPECT_FALSE(loader()->isLoadingURL(cover("/covers/slow.png")));
}

} // namespace

TEST_F(EGOImageViewTest, AButtonTellsItsCurrentDelegateOfItsFace) {
    service.route("GET", "/covers/face.png", FakeService::Reply::text(png(Qt::red), "image/png"));
    service.route("GET", "/covers/broken.png",
                  FakeService::Reply::text("<html>moved</html>", "text/html"));
    RecordingButtonDelegate before;
    RecordingButtonDelegate after;
    EGOImageButton button(placeholder(), &before);
    button.setImageURL(cover("/covers/face.png"));
    button.setDelegate(&after);
    ASSERT_TRUE(testutil::waitUntil([&] { return !button.showsPlaceholder(); }));
    EXPECT_EQ(shown(button.image()), QColor(Qt::red));
    EXPECT_TRUE(before.loaded.isEmpty());
    EXPECT_EQ(after.loaded, QList<EGOImageButton*>{&button});

    button.setImageURL(cover("/covers/broken.png"));
    EXPECT_TRUE(button.showsPlaceholder());
    ASSERT_TRUE(testutil::waitUntil([&] { return !after.failures.isEmpty(); }));
    EXPECT_EQ(after.failures, QList<int>{406});
    EXPECT_TRUE(before.failures.isEmpty());
}
