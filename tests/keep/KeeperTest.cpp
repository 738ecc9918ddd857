// The whole-book download against the fake service: runs of ten over the chapters not
// stored, retries then missing chapters, pausing and resuming, cancelling.
#include <QSet>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

#include "catalog/BookKeeper.h"
#include "engines/HttpRequest.h"
#include "platform/UserDefaults.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "storage/KeepQueue.h"
#include "tests/keep/KeepTestSupport.h"
#include "tests/support/FakeService.h"
#include "tests/support/TestUtil.h"

using namespace keeptest;

namespace {

class KeeperTest : public ::testing::Test {
protected:
    void SetUp() override {
        home = std::make_unique<testutil::ScopedHome>();
        ServiceConfig::setBaseUrl(service.baseUrl());
        reachable = true;
        wifi = true;
        BookKeeper::internetReachable = [this] { return reachable.load(); };
        BookKeeper::wifiReachable = [this] { return wifi.load(); };
        UserDefaults::standard().removeObjectForKey(QStringLiteral("is_open_wifi"));
        HttpRequest::setDefaultTimeOutSeconds(5);
    }
    void TearDown() override {
        keeper.reset();
        BookDb::waitForBackgroundWrites();
        testutil::spin(20);
        UserDefaults::standard().removeObjectForKey(QStringLiteral("is_open_wifi"));
        home.reset();
    }

    std::unique_ptr<BookKeeper> newKeeper() {
        auto k = std::make_unique<BookKeeper>();
        k->setRetryDelayMs(20);
        k->setPollIntervalMs(50);
        QObject::connect(k.get(), &BookKeeper::finished, k.get(),
                         [this](const QString& book, int missing) {
                             ended.append({book, missing});
                         });
        QObject::connect(k.get(), &BookKeeper::progressChanged, k.get(),
                         [this](const QString& book, int stored, int total) {
                             progress.append({book, stored, total});
                         });
        return k;
    }

    // A started keeper asked to keep the book.
    void startKeeping(const QString& book, const QString& hint = QString()) {
        keeper = newKeeper();
        keeper->start();
        EXPECT_TRUE(keeper->keep(book, hint));
    }

    bool waitFinished(int n = 1, int timeoutMs = 20000) {
        return testutil::waitUntil([&] { return ended.size() >= n; }, timeoutMs);
    }

    struct Progress {
        QString book;
        int stored = 0;
        int total = 0;
    };
    QList<QPair<QString, int>> ended;
    QList<Progress> progress;

    FakeService service;
    std::unique_ptr<testutil::ScopedHome> home;
    std::unique_ptr<BookKeeper> keeper;
    std::atomic<bool> reachable{true};
    std::atomic<bool> wifi{true};
};

const QString kBook = QStringLiteral("77");

} // namespace

TEST_F(KeeperTest, AsksTheUnstoredChaptersInRunsOfTenAndMarksWhatItStored) {
    seedStoredBook(kBook, 25, 10);
    ServedBook served(service, kBook, 25);
    startKeeping(kBook);
    ASSERT_TRUE(waitFinished());

    EXPECT_EQ(askedRuns(service), (QStringList{"11,12,13,14,15,16,17,18,19,20", "21,22,23,24,25"}));
    EXPECT_TRUE(service.requests(QStringLiteral("/data/menu")).isEmpty());
    EXPECT_EQ(ended.first().second, 0);
    EXPECT_EQ(storedChapters(kBook), numbers(1, 25));
    EXPECT_EQ(markedChapters(kBook), numbers(1, 25));
    // Stored texts are the service's, once each.
    EXPECT_EQ(BookDb().selectChapterContent(kBook, 21).value("content").toString(),
              served.textOf(21));
    EXPECT_EQ(BookDb().getCountFromChapterByBookid(kBook), 25);
    // Progress followed the runs, ending at the whole book.
    ASSERT_GE(progress.size(), 2);
    EXPECT_EQ(progress.last().stored, 25);
    EXPECT_EQ(progress.last().total, 25);
    EXPECT_TRUE(BookKeeper::isComplete(kBook));
    const KeepQueue::Entry row = KeepQueue().entry(kBook);
    EXPECT_EQ(row.bookId, kBook);
    EXPECT_TRUE(row.done);
    EXPECT_FALSE(keeper->isKept(kBook));
}

TEST_F(KeeperTest, ChapterLeftOutIsAskedOnceMoreThenCountedMissing) {
    seedStoredBook(kBook, 25, 10);
    ServedBook served(service, kBook, 25);
    served.neverServe(13);
    served.serveLate(22); // left out of its first answer only
    startKeeping(kBook);
    ASSERT_TRUE(waitFinished());

    EXPECT_EQ(askedRuns(service),
              (QStringList{"11,12,13,14,15,16,17,18,19,20", "21,22,23,24,25,13", "22"}));
    EXPECT_EQ(ended.first().second, 1);
    QList<int> expected = numbers(1, 25);
    expected.removeOne(13);
    EXPECT_EQ(storedChapters(kBook), expected);
    // Only stored chapters carry the downloaded mark.
    EXPECT_EQ(markedChapters(kBook), expected);
    EXPECT_FALSE(BookKeeper::isComplete(kBook));
    EXPECT_EQ(KeepQueue().entry(kBook).missing, QList<int>{13});
    EXPECT_EQ(keeper->progressOf(kBook).stored, 24);
    EXPECT_EQ(keeper->progressOf(kBook).total, 25);
}

TEST_F(KeeperTest, FetchesTheMenuFirstAndPutsAnUnshelvedBookOnTheShelf) {
    ServedBook served(service, kBook, 12);
    startKeeping(kBook, QStringLiteral("hint"));
    ASSERT_TRUE(waitFinished());

    EXPECT_EQ(service.requests(QStringLiteral("/data/menu")).size(), 1);
    EXPECT_EQ(askedRuns(service), (QStringList{"1,2,3,4,5,6,7,8,9,10", "11,12"}));
    EXPECT_EQ(storedChapters(kBook), numbers(1, 12));
    EXPECT_EQ(markedChapters(kBook), numbers(1, 12));
    const QVariantMap book = BookDb().selectBookByBookid(kBook);
    EXPECT_EQ(book.value("title").toString(), QStringLiteral("Served 77"));
    EXPECT_EQ(book.value("last_chapter_number").toString(), QStringLiteral("12"));
}

TEST_F(KeeperTest, WrongChaptersAndForeignBooksInAnAnswerAreNotStored) {
    seedStoredBook(kBook, 12, 10);
    // The service answers with a chapter nobody asked for, one without text, and the asked
    // chapter under another book id.
    service.route("GET", "/data/getcontent", [](const FakeService::Request&) {
        return FakeService::Reply::json(
            R"({"result":"ok","chapters":[{"chapter_number":"5","book_id":"77","title":"x","content":"other"},
               {"chapter_number":11,"book_id":"77","title":"t11"},
               {"chapter_number":12,"book_id":"99","title":"t12","content":"<p>12</p>"}]})");
    });
    startKeeping(kBook);
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(ended.first().second, 1); // 11 never came with a text
    EXPECT_EQ(storedChapters(kBook), numbers(1, 10) + QList<int>{12});
    EXPECT_EQ(BookDb().selectChapterContent(kBook, 5).value("content").toString(),
              chapterTextFor(kBook, 5)); // the stored text was not replaced
    EXPECT_TRUE(BookDb().selectChaptersByBookid(QStringLiteral("99")).isEmpty());
}

TEST_F(KeeperTest, NetworkLossPausesAndItsReturnResumesWithoutAskingAStoredRunAgain) {
    seedStoredBook(kBook, 35, 10);
    ServedBook served(service, kBook, 35);
    // The network goes away while the second run is on its way.
    std::atomic<bool> offline{false};
    served.beforeAnswer([&](const QString& chapters) {
        if (chapters.startsWith(QLatin1String("21,")) && !offline.exchange(true)) {
            reachable = false;
            return false;
        }
        return !(offline && !reachable);
    });
    startKeeping(kBook);
    ASSERT_TRUE(testutil::waitUntil([&] { return keeper->isPaused(); }));
    EXPECT_FALSE(keeper->waitsForWifi());
    const int asked = int(service.requests(QStringLiteral("/data/getcontent")).size());
    testutil::spin(300); // several checks of the network while it is gone
    EXPECT_EQ(service.requests(QStringLiteral("/data/getcontent")).size(), asked);
    EXPECT_TRUE(keeper->isPaused());
    EXPECT_EQ(keeper->progressOf(kBook).stored, 20);

    reachable = true;
    ASSERT_TRUE(waitFinished());
    EXPECT_FALSE(keeper->isPaused());
    const QStringList runs = askedRuns(service);
    EXPECT_EQ(runs.count("11,12,13,14,15,16,17,18,19,20"), 1);
    EXPECT_EQ(runs.count("31,32,33,34,35"), 1);
    EXPECT_EQ(served.answered("21,22,23,24,25,26,27,28,29,30"), 1);
    EXPECT_EQ(storedChapters(kBook), numbers(1, 35));
    EXPECT_EQ(ended.first().second, 0);
}

TEST_F(KeeperTest, WifiOnlySettingHoldsTheDownloadUntilWifiComes) {
    seedStoredBook(kBook, 25, 10);
    ServedBook served(service, kBook, 25);
    UserDefaults::standard().setObject(QStringLiteral("is_open_wifi"), true);
    wifi = false;
    startKeeping(kBook);
    testutil::spin(300);
    EXPECT_TRUE(keeper->isPaused());
    EXPECT_TRUE(keeper->waitsForWifi());
    EXPECT_EQ(service.requestCount(), 0);

    wifi = true; // the poll notices
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(storedChapters(kBook), numbers(1, 25));

    // Without the setting any network will do.
    UserDefaults::standard().setObject(QStringLiteral("is_open_wifi"), false);
    wifi = false;
    const QString other = QStringLiteral("78");
    ServedBook second(service, other, 5);
    keeper->keep(other);
    ASSERT_TRUE(waitFinished(2));
    EXPECT_EQ(storedChapters(other), numbers(1, 5));
}

TEST_F(KeeperTest, AtMostTwoBooksAtOnceOneRunEach) {
    const QStringList books{"81", "82", "83"};
    std::vector<std::unique_ptr<ServedBook>> served;
    for (const QString& b : books) {
        seedStoredBook(b, 30, 0);
        served.push_back(std::make_unique<ServedBook>(service, b, 30));
    }
    std::atomic<int> inFlight{0};
    std::atomic<int> most{0};
    for (auto& s : served) {
        s->setDelayMs(60);
        s->beforeAnswer([&](const QString&) {
            const int now = ++inFlight;
            int seen = most.load();
            while (now > seen && !most.compare_exchange_weak(seen, now)) {
            }
            return true;
        });
        s->afterAnswer([&] { --inFlight; });
    }
    keeper = newKeeper();
    keeper->start();
    for (const QString& b : books)
        keeper->keep(b);
    EXPECT_TRUE(keeper->isActive("81"));
    EXPECT_TRUE(keeper->isActive("82"));
    EXPECT_FALSE(keeper->isActive("83"));
    ASSERT_TRUE(testutil::waitUntil([&] { return ended.size() == 3; }, 30000));
    EXPECT_LE(most.load(), 2);
    // The third book started only after one of the first two ended.
    EXPECT_EQ(ended.at(2).first, QStringLiteral("83"));
    for (const QString& b : books) {
        EXPECT_EQ(storedChapters(b), numbers(1, 30)) << b.toStdString();
        for (const QString& run : {QStringLiteral("1,2,3,4,5,6,7,8,9,10"),
                                   QStringLiteral("11,12,13,14,15,16,17,18,19,20")})
            EXPECT_EQ(askedRunsOf(service, b).count(run), 1) << b.toStdString();
    }
}

TEST_F(KeeperTest, CancelMidRunStoresNothingMoreAndForgetsTheQueueRow) {
    seedStoredBook(kBook, 35, 10);
    ServedBook served(service, kBook, 35);
    served.setDelayMs(300);
    startKeeping(kBook);
    ASSERT_TRUE(service.waitForRequests(1));
    keeper->cancel(kBook);
    EXPECT_FALSE(keeper->isKept(kBook));
    EXPECT_TRUE(KeepQueue().entry(kBook).bookId.isEmpty());
    testutil::spin(600);
    BookDb::waitForBackgroundWrites();
    testutil::spin(20);
    EXPECT_EQ(storedChapters(kBook), numbers(1, 10));
    EXPECT_EQ(service.requests(QStringLiteral("/data/getcontent")).size(), 1);
}

TEST_F(KeeperTest, QueueTableIsAddedToAnOlderFileAndKeptAcrossOpenings) {
    // A file from before the queue existed: the prepared tables only.
    KeepQueue queue;
    EXPECT_TRUE(queue.entries().isEmpty());
    ASSERT_TRUE(queue.enqueue(QStringLiteral("5"), 100));
    ASSERT_TRUE(queue.enqueue(QStringLiteral("4"), 200));
    KeepQueue::Entry e = queue.entry(QStringLiteral("5"));
    e.tried = {3, 7};
    e.missing = {9};
    ASSERT_TRUE(queue.update(e));
    // Asked again: keeps its place, forgets its tries.
    ASSERT_TRUE(queue.enqueue(QStringLiteral("5"), 300));
    const QList<KeepQueue::Entry> all = KeepQueue().entries(true);
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all.at(0).bookId, QStringLiteral("5"));
    EXPECT_TRUE(all.at(0).tried.isEmpty());
    EXPECT_TRUE(all.at(0).missing.isEmpty());
    EXPECT_EQ(all.at(1).bookId, QStringLiteral("4"));
    ASSERT_TRUE(queue.remove(QStringLiteral("5")));
    EXPECT_EQ(KeepQueue().entries().size(), 1);
}
