// A whole-book download outlives the application: closed mid-download and launched again over
// the same home folder, the new application's shelf starts the keeper, which asks for the first
// missing chapter on and nothing stored before.
#include <gtest/gtest.h>
#include <memory>

#include "app/AppDelegate.h"
#include "catalog/BookKeeper.h"
#include "catalog/FirstViewController.h"
#include "catalog/KeepProgressBar.h"
#include "engines/HttpRequest.h"
#include "platform/Application.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Window.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "storage/KeepQueue.h"
#include "tests/keep/KeepTestSupport.h"
#include "tests/support/FakeService.h"
#include "tests/support/TestUtil.h"

using namespace keeptest;

namespace {

const QString kBook = QStringLiteral("83");

class KeepRestartTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The keeper of an earlier test belongs to another home folder: this "process" starts
        // without one.
        dropKeeper();
        home = std::make_unique<testutil::ScopedHome>();
        UserDefaults::standard().reload();
        ServiceConfig::setBaseUrl(service.baseUrl());
        ServiceConfig::setLookupBase(service.baseUrl());
        HttpRequest::setDefaultTimeOutSeconds(5);
        BookKeeper::internetReachable = [] { return true; };
        BookKeeper::wifiReachable = [] { return true; };
    }
    void TearDown() override {
        close();
        BookDb::waitForBackgroundWrites();
        testutil::spin(20);
        UserDefaults::standard().reload();
        home.reset();
    }

    // A launch of a fresh process over the home folder.
    void launch() {
        delegate = std::make_unique<AppDelegate>();
        Application::shared().setDelegate(delegate.get());
        ASSERT_TRUE(Application::shared().launch());
        testutil::spin(20);
    }
    // The process ends: its windows, its keeper and whatever it had on the way.
    void close() {
        delegate.reset();
        Application::shared().setDelegate(nullptr);
        dropKeeper();
        BookDb::waitForBackgroundWrites();
    }
    static void dropKeeper() {
        if (BookKeeper* keeper = existingKeeper())
            delete keeper;
    }
    // The application's keeper if one was started, without starting one.
    static BookKeeper* existingKeeper() {
        return QCoreApplication::instance()->findChild<BookKeeper*>(QString(),
                                                                    Qt::FindDirectChildrenOnly);
    }
    FirstViewController* shelf() const {
        if (!delegate || !delegate->window())
            return nullptr;
        const auto shelves = delegate->window()->findChildren<FirstViewController*>();
        return shelves.isEmpty() ? nullptr : shelves.first();
    }

    FakeService service;
    std::unique_ptr<testutil::ScopedHome> home;
    std::unique_ptr<AppDelegate> delegate;
};

} // namespace

TEST_F(KeepRestartTest, NewApplicationOverTheSameHomeResumesFromTheFirstMissingChapter) {
    seedStoredBook(kBook, 35, 10);
    ServedBook served(service, kBook, 35);
    // The second run is not answered before the application closes.
    served.holdRunsStartingAt(21);
    launch();
    ASSERT_NE(shelf(), nullptr);
    ASSERT_NE(existingKeeper(), nullptr) << "the shelf starts the keeper";
    ASSERT_TRUE(BookKeeper::shared()->keep(kBook));
    ASSERT_TRUE(testutil::waitUntil([&] {
        return BookKeeper::shared()->progressOf(kBook).stored == 20 &&
               askedRuns(service).contains("21,22,23,24,25,26,27,28,29,30");
    }));
    close();
    ASSERT_EQ(existingKeeper(), nullptr);
    EXPECT_FALSE(KeepQueue().entry(kBook).done);
    EXPECT_EQ(storedChapters(kBook), numbers(1, 20));

    // The last run takes a while, so the new shelf can be seen following the download.
    served.holdRunsStartingAt(31);
    service.clearRequests();
    launch();
    // Nobody asks the keeper for anything: launching brings it up with the queue it left.
    BookKeeper* keeper = existingKeeper();
    ASSERT_NE(keeper, nullptr);
    EXPECT_TRUE(keeper->isKept(kBook));
    ASSERT_TRUE(testutil::waitUntil([&] { return storedChapters(kBook) == numbers(1, 30); }));
    ASSERT_NE(shelf(), nullptr);
    bool barShown = false;
    for (KeepProgressBar* bar : shelf()->findChildren<KeepProgressBar*>())
        barShown = barShown || bar->bookId() == kBook;
    EXPECT_TRUE(barShown);

    ASSERT_TRUE(testutil::waitUntil([&] { return !keeper->isKept(kBook); }, 15000));
    BookDb::waitForBackgroundWrites();
    EXPECT_EQ(askedRuns(service), (QStringList{"21,22,23,24,25,26,27,28,29,30", "31,32,33,34,35"}));
    EXPECT_EQ(storedChapters(kBook), numbers(1, 35));
    EXPECT_EQ(markedChapters(kBook), numbers(1, 35));
    EXPECT_TRUE(KeepQueue().entry(kBook).done);
}
