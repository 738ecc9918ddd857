// A reader's first day with folia, through the screens' own buttons, rows and cells, against a
// book service on a free port and an empty home folder: the guide, registration, the
// recommendations, a book's detail and its download, reading on into chapters that have to
// be fetched, a bookmark, the shelf, the member center's lists, the welcome message, feedback,
// the type size, signing out; then the service goes away and the book still reads, also after
// a new launch. A second road, on the short screen, signs up when the book's download asks for
// it.
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <memory>
#include <tuple>

#include "account/CheckCaptchaViewController.h"
#include "account/EditableRowView.h"
#include "account/FeedbackViewController.h"
#include "account/LoginViewController.h"
#include "account/MemberCenterRecordsCell.h"
#include "account/MsgdetailViewController.h"
#include "account/MyFavoriteViewController.h"
#include "account/MyInfoViewController.h"
#include "account/MyMsgBoxCell.h"
#include "account/MyMsgboxViewController.h"
#include "account/ReadRecordViewController.h"
#include "account/RegByPhoneViewController.h"
#include "account/RegPhoneNowViewController.h"
#include "account/RegisterViewController.h"
#include "account/TextField.h"
#include "app/AppDelegate.h"
#include "app/SettingViewController.h"
#include "catalog/BookDetailViewController.h"
#include "catalog/BookListPanel.h"
#include "catalog/FirstViewController.h"
#include "catalog/SecondViewController.h"
#include "catalog/SegmentedBookLists.h"
#include "catalog/ShelfBookFace.h"
#include "catalog/WZGuideViewController.h"
#include "platform/Application.h"
#include "platform/Localizable.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "reader/BookChapterAndMarkViewController.h"
#include "reader/BookMarkViewController.h"
#include "reader/ReadbooksViewController.h"
#include "service/Service.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"
#include "tests/bookd/BookdHarness.h"
#include "tests/journey/JourneySupport.h"
#include "tests/support/TestUtil.h"
#include "tools/bookd/SampleCatalog.h"
#include "widgets/CustomSegmentedControl.h"
#include "widgets/GMGridView.h"
#include "widgets/GMGridViewCell.h"
#include "widgets/PullingRefreshTableView.h"
#include "widgets/SVSegmentedControl.h"

using journeytest::tap;
using journeytest::type;
using testutil::waitUntil;

namespace {

// Generous: two busy cores run the web engine, the service and the test.
constexpr int kWait = 30000;

// The screen height, and whether the reader signs up from the detail's download rather than
// from the shelf.
class FirstDayTest : public ::testing::TestWithParam<std::tuple<int, bool>> {
protected:
    void SetUp() override {
        ASSERT_TRUE(bookd.started());
        Window::setScreenHeight(std::get<0>(GetParam()));
        oldBase = ServiceConfig::baseUrl();
        oldLookup = ServiceConfig::lookupBase();
        ServiceConfig::setBaseUrl(bookd.base());
        ServiceConfig::setLookupBase(bookd.base());
        UserDefaults::standard().reload();
        delegate = std::make_unique<AppDelegate>();
        Application::shared().setDelegate(delegate.get());
        ASSERT_TRUE(Application::shared().launch());
        window = delegate->window();
        tabs = delegate->tabbarcontroller();
        ASSERT_TRUE(window && tabs);
    }

    void TearDown() override {
        delegate.reset();
        Application::shared().setDelegate(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ServiceConfig::setBaseUrl(oldBase);
        ServiceConfig::setLookupBase(oldLookup);
        UserDefaults::standard().reload();
        Window::setScreenHeight(Window::kTallHeight);
    }

    NavigationController* stack(int tab) const {
        return qobject_cast<NavigationController*>(tabs->viewControllers().value(tab));
    }
    template <class T> T* top(int tab) const {
        NavigationController* nav = stack(tab);
        return nav ? qobject_cast<T*>(nav->topViewController()) : nullptr;
    }
    // Waits until the tab's stack shows a screen of class T, in view.
    template <class T> T* waitForTop(int tab) {
        T* screen = nullptr;
        const bool shown = waitUntil(
            [&] {
                screen = top<T>(tab);
                return screen && screen->isVisible();
            },
            kWait);
        return shown ? screen : nullptr;
    }
    // The screen of class T on top of the modal stack shown over the window, in view.
    template <class T> T* waitForModal() {
        T* screen = nullptr;
        const bool shown = waitUntil(
            [&] {
                screen = nullptr;
                for (T* s : window->findChildren<T*>()) {
                    if (s->isVisible())
                        screen = s;
                }
                return screen != nullptr;
            },
            kWait);
        return shown ? screen : nullptr;
    }

    // A tab, tapped in the tab bar.
    ::testing::AssertionResult tapTab(int index) {
        TabBar* bar = window->findChild<TabBar*>();
        if (!bar)
            return ::testing::AssertionFailure() << "no tab bar";
        return tap(bar, bar->itemRect(index).center());
    }

    // Nothing is in flight or on its way in: no progress overlay, no notice still showing.
    bool quiet(NoticeView* notice = nullptr) const {
        for (ProgressHUD* hud : window->findChildren<ProgressHUD*>()) {
            if (hud->isVisible())
                return false;
        }
        return !notice || !notice->isAnimating();
    }

    // The reader is done loading, fetching and turning.
    static bool idle(ReadbooksViewController* reader) {
        return waitUntil([reader] { return reader && !reader->isBusy(); }, kWait);
    }

    // The page's own idea of its type size, as the web engine computed it.
    static QString computedFontSize(ReadbooksViewController* reader) {
        QString answer;
        bool done = false;
        reader->webView()->stringByEvaluatingJavaScript(
            QStringLiteral("getComputedStyle(document.body).fontSize"), [&](const QVariant& value) {
                answer = value.toString();
                done = true;
            });
        waitUntil([&] { return done; }, kWait);
        return answer;
    }

    // Taps the page where the user turns forward (the right edge, halfway down).
    static ::testing::AssertionResult turnForward(ReadbooksViewController* reader) {
        QWidget* page = reader->findChild<QWidget*>(QStringLiteral("readerPage"));
        if (!page)
            return ::testing::AssertionFailure() << "no page";
        return tap(page, QPoint(page->width() - 30, page->height() / 2));
    }
    // Taps the middle of the page: the bars come or go.
    static ::testing::AssertionResult toggleBars(ReadbooksViewController* reader) {
        QWidget* page = reader->findChild<QWidget*>(QStringLiteral("readerPage"));
        if (!page)
            return ::testing::AssertionFailure() << "no page";
        return tap(page, QPoint(page->width() / 2, page->height() / 2));
    }
    // A button of the reader's bars (which live in the navigation bar while shown).
    Button* readerButton(const QString& name) const {
        for (Button* b : window->findChildren<Button*>(name)) {
            if (b->isVisible())
                return b;
        }
        return nullptr;
    }

    // The book's chapter as the service publishes it.
    static QString published(int bookId, int chapter) {
        return SampleCatalog::chapterContent(bookId, chapter);
    }

    // On the login screen just presented: registration by mobile number through its three
    // screens, then back out of them and of the login screen.
    void registerOnLoginScreen(const QString& mobile, const QString& password) {
        LoginViewController* login = waitForModal<LoginViewController>();
        ASSERT_NE(login, nullptr);
        ASSERT_TRUE(tap(login->btnReg()));
        RegisterViewController* reg = waitForModal<RegisterViewController>();
        ASSERT_NE(reg, nullptr);
        RegByPhoneViewController* phone = reg->PhoneView();
        type(phone->textPhone(), mobile);
        ASSERT_TRUE(tap(phone->btnGetCode()));
        CheckCaptchaViewController* code = waitForModal<CheckCaptchaViewController>();
        ASSERT_NE(code, nullptr);
        // The texted code, as the code screen keeps it.
        ASSERT_EQ(code->keyChainCode().size(), 6);
        type(code->textCaptcha(), code->keyChainCode());
        ASSERT_TRUE(tap(code->btnSubmitCaptcha()));
        RegPhoneNowViewController* last = waitForModal<RegPhoneNowViewController>();
        ASSERT_NE(last, nullptr);
        type(last->textPassword(), password);
        type(last->textRepassword(), password);
        ASSERT_TRUE(waitUntil([&] { return quiet(last->notify()); }));
        ASSERT_TRUE(tap(last->btnNowreg()));
        ASSERT_TRUE(waitUntil([&] { return UserStore::isSignedIn() && quiet(); }, kWait));
        EXPECT_EQ(last->notify()->text(), L("Register successful"));
        EXPECT_EQ(UserStore::currentAccount(), mobile);
        ASSERT_TRUE(tap(last->btnBack()));
        ASSERT_TRUE(tap(waitForModal<CheckCaptchaViewController>()->btnBack()));
        ASSERT_TRUE(tap(waitForModal<RegisterViewController>()->btnBack()));
        login = waitForModal<LoginViewController>();
        ASSERT_NE(login, nullptr);
        // Leaving takes the sign-in screen down: it is deleted once it is hidden.
        const QPointer<LoginViewController> leaving(login);
        ASSERT_TRUE(tap(login->btnBack()));
        ASSERT_TRUE(waitUntil([&] { return !leaving || !leaving->isVisible(); }));
    }

    // Tap a row of one of the member center's lists and waits for its first page.
    template <class T> T* openCenterList(MyInfoViewController* center, int row) {
        EXPECT_TRUE(tap(center->cellAt(row)));
        T* list = waitForTop<T>(0);
        if (list) {
            EXPECT_TRUE(waitUntil([list] { return list->loadsEnded() >= 1; }, kWait));
        }
        return list;
    }
    // The list's back button, and the member center in view again.
    MyInfoViewController* backToCenter(AccountListViewController* list) {
        EXPECT_TRUE(tap(list->backButton()));
        return waitForTop<MyInfoViewController>(0);
    }

    bookdtest::LocalBookd bookd;
    testutil::ScopedHome home;
    journeytest::NoticeWatch notices;
    std::unique_ptr<AppDelegate> delegate;
    Window* window = nullptr;
    TabBarController* tabs = nullptr;
    QString oldBase;
    QString oldLookup;
};

TEST_P(FirstDayTest, FromTheGuideToReadingOffline) {
    const QString mobile = QStringLiteral("13800138000");
    const QString password = QStringLiteral("first-day");
    const bool signInAtDetail = std::get<1>(GetParam());

    // --- The guide covers the app until its start button is pressed.
    auto* shelf = top<FirstViewController>(0);
    ASSERT_NE(shelf, nullptr);
    WZGuideViewController* guide = WZGuideViewController::sharedGuide();
    ASSERT_TRUE(waitUntil([&] { return guide->isVisible() && !guide->isAnimating(); }));
    EXPECT_FALSE(journeytest::uncovered(shelf->mineBtn())) << "the guide lies over the shelf";
    EXPECT_FALSE(tap(shelf->mineBtn()));
    guide->scrollToPage(guide->pageCount() - 1);
    ASSERT_TRUE(tap(guide->startButton()));
    ASSERT_TRUE(waitUntil([&] { return !guide->isVisible(); }));
    EXPECT_FALSE(UserDefaults::standard().boolForKey(QStringLiteral("firstLaunch")));
    EXPECT_TRUE(shelf->bookArr().isEmpty());

    // --- Register with a mobile number, from the shelf's user button (or, on the second
    // road, from the detail's download, which asks for a sign-in first).
    if (!signInAtDetail) {
        ASSERT_TRUE(tap(shelf->mineBtn()));
        ASSERT_NO_FATAL_FAILURE(registerOnLoginScreen(mobile, password));
        ASSERT_TRUE(
            waitUntil([&] { return !shelf->presentedViewController() && shelf->isVisible(); }));
    }

    // --- The recommendations: the first of today's picks opens its detail.
    ASSERT_TRUE(tapTab(1));
    auto* recommend = waitForTop<SecondViewController>(1);
    ASSERT_NE(recommend, nullptr);
    BookListPanel* picks = recommend->lists()->panel(0);
    ASSERT_TRUE(
        waitUntil([&] { return !picks->books().isEmpty() && !picks->pager().isLoading(); }, kWait));
    const MyBookList book = picks->books().first();
    const QString bookId = Service::textOf(book.myId());
    const int lastChapter = Service::textOf(book.myLast_chapter_number()).toInt();
    ASSERT_GT(lastChapter, 12) << "the walk reads past the first ten chapters";
    QTableWidget* table = picks->table();
    ASSERT_TRUE(tap(table->viewport(), table->visualRect(table->model()->index(0, 0)).center()));
    BookDetailViewController* detail = waitForTop<BookDetailViewController>(1);
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->bookid(), bookId);
    ASSERT_TRUE(waitUntil([&] { return !detail->factTexts().value(0).isEmpty(); }, kWait));
    EXPECT_TRUE(detail->factTexts().value(0).contains(book.myTitle()));

    if (signInAtDetail) {
        // Reading asks for a sign-in first; after it the detail is in view again and the
        // download has not started.
        ASSERT_TRUE(tap(detail->findChild<Button*>(QStringLiteral("btnOnlineRead"))));
        ASSERT_NO_FATAL_FAILURE(registerOnLoginScreen(mobile, password));
        ASSERT_TRUE(waitUntil([&] {
            return top<BookDetailViewController>(1) == detail && detail->isVisible() && quiet();
        }));
        EXPECT_EQ(BookDb().getCountFromChapterByBookid(bookId), 0);
    }

    // Into the favorites.
    EXPECT_FALSE(detail->showsFavorite());
    ASSERT_TRUE(tap(detail->findChild<Button*>(QStringLiteral("btnFavoritesNo"))));
    ASSERT_TRUE(waitUntil([&] { return detail->showsFavorite(); }, kWait));

    // --- "开始阅读" downloads the first ten chapters and opens the reader on the first.
    bool opened = false;
    QObject::connect(detail, &BookDetailViewController::downloadEnded, detail,
                     [&](bool ok) { opened = ok; });
    ASSERT_TRUE(waitUntil([&] { return quiet(detail->notice()); }, kWait));
    ASSERT_TRUE(tap(detail->findChild<Button*>(QStringLiteral("btnOnlineRead"))));
    ReadbooksViewController* reader = waitForTop<ReadbooksViewController>(1);
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(idle(reader));
    EXPECT_TRUE(opened);
    EXPECT_EQ(reader->book_id, bookId);
    EXPECT_EQ(reader->current_chapter_id, 1);
    EXPECT_EQ(reader->str, published(bookId.toInt(), 1));
    BookDb db;
    EXPECT_EQ(db.getCountFromChapterByBookid(bookId), 10);
    EXPECT_EQ(db.getMaxChapterId(bookId), 10);
    ASSERT_TRUE(waitUntil([&] { return detail->coverSettled(); }, kWait));

    // --- Page by page through the stored chapters and on into the eleventh, which has to
    // come from the service. Every page turn names the page in the last-read record.
    int turns = 0;
    int lastSeenChapter = reader->current_chapter_id;
    while (reader->current_chapter_id <= 11 && turns < 400) {
        if (reader->current_chapter_id == 11 && reader->currentPage == 2)
            break;
        ASSERT_TRUE(turnForward(reader)) << "turn " << turns;
        ASSERT_TRUE(idle(reader)) << "turn " << turns;
        ++turns;
        if (reader->current_chapter_id != lastSeenChapter) {
            // A new chapter opens at its first page with its own text.
            EXPECT_EQ(reader->current_chapter_id, lastSeenChapter + 1);
            EXPECT_EQ(reader->currentPage, 1);
            EXPECT_EQ(reader->str, published(bookId.toInt(), reader->current_chapter_id));
            lastSeenChapter = reader->current_chapter_id;
        }
    }
    ASSERT_EQ(reader->current_chapter_id, 11) << "after " << turns << " turns";
    ASSERT_EQ(reader->currentPage, 2);
    const int pagesAt18 = reader->allPage;
    EXPECT_GT(pagesAt18, 1);
    EXPECT_EQ(db.selectChapterContent(bookId, 11).value(QStringLiteral("content")).toString(),
              published(bookId.toInt(), 11));
    const QVariantMap lastRead = db.selectLastReadRecord(bookId);
    EXPECT_EQ(lastRead.value(QStringLiteral("chapter_id")).toInt(), 11);
    EXPECT_EQ(lastRead.value(QStringLiteral("page_id")).toInt(), 2);

    // --- A bookmark on this page, from the reader's bar.
    ASSERT_TRUE(toggleBars(reader));
    ASSERT_TRUE(waitUntil([&] { return reader->navBarState; }));
    ASSERT_TRUE(tap(readerButton(QStringLiteral("bookmarkButton"))));
    EXPECT_EQ(reader->notice()->text(), QStringLiteral("添加书签成功"));
    const QVariantList marks = db.selectAllMarkByBookId(bookId);
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks.first().toMap().value(QStringLiteral("chapter_id")).toInt(), 11);
    EXPECT_EQ(marks.first().toMap().value(QStringLiteral("page_id")).toInt(), 2);
    EXPECT_TRUE(reader->viewBookMark()->isVisible());

    // The contents' bookmark list holds it, and it opens a reader on its page.
    ASSERT_TRUE(tap(readerButton(QStringLiteral("contentsButton"))));
    auto* contents = waitForTop<BookChapterAndMarkViewController>(1);
    ASSERT_NE(contents, nullptr);
    SVSegmentedControl* switcher = contents->segmentedControl();
    ASSERT_TRUE(tap(switcher, QPoint(switcher->width() * 3 / 4, switcher->height() / 2)));
    BookMarkViewController* markView = contents->MarkView();
    ASSERT_TRUE(waitUntil([&] { return markView->isVisible(); }));
    ASSERT_EQ(markView->markList.size(), 1);
    QListWidget* markRows = markView->tableView();
    ASSERT_TRUE(tap(markRows->viewport(), markRows->visualItemRect(markRows->item(0)).center()));
    ReadbooksViewController* marked = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        marked = top<ReadbooksViewController>(1);
        return marked && marked != reader && marked->isVisible();
    }));
    reader = marked;
    ASSERT_TRUE(idle(reader));
    EXPECT_EQ(reader->current_chapter_id, 11);
    EXPECT_EQ(reader->currentPage, 2);
    EXPECT_EQ(reader->str, published(bookId.toInt(), 11));
    ASSERT_TRUE(toggleBars(reader));
    ASSERT_TRUE(waitUntil([&] { return reader->navBarState; }));

    // --- Back to the detail, back to the list, and over to the shelf: the book is first,
    // with its cover.
    ASSERT_TRUE(tap(reader->leftBarButton()));
    ASSERT_EQ(waitForTop<BookDetailViewController>(1), detail);
    ASSERT_TRUE(tap(detail->leftBarButton()));
    ASSERT_EQ(waitForTop<SecondViewController>(1), recommend);
    ASSERT_TRUE(tapTab(0));
    ASSERT_TRUE(waitUntil([&] { return shelf->isVisible(); }));
    ASSERT_FALSE(shelf->bookArr().isEmpty());
    EXPECT_EQ(shelf->bookArr().first().toMap().value(QStringLiteral("book_id")).toString(), bookId);
    auto* face = shelf->gridView()->cellForItemAtIndex(0)->findChild<ShelfBookFace*>(
        QStringLiteral("coverButton"));
    ASSERT_NE(face, nullptr);
    EXPECT_TRUE(face->showsCover());

    // --- The member center: the reading records and the favorites hold the book.
    ASSERT_TRUE(tap(shelf->mineBtn()));
    MyInfoViewController* center = waitForTop<MyInfoViewController>(0);
    ASSERT_NE(center, nullptr);
    EXPECT_EQ(center->labelUsername()->text(), mobile);

    auto* records = openCenterList<ReadRecordViewController>(center, 0);
    ASSERT_NE(records, nullptr);
    ASSERT_EQ(records->arrListRecords().size(), 1);
    EXPECT_EQ(Service::textOf(records->arrListRecords().first().myId()), bookId);
    // The service's record follows the reader to the chapter it reached.
    const QString serviceDb = bookd.dataDir() + QStringLiteral("/bookd.sqlite");
    EXPECT_EQ(journeytest::serviceRows(
                  serviceDb, QStringLiteral("SELECT book_id || '/' || chapter FROM readlog")),
              QStringList{bookId + QStringLiteral("/11")});
    center = backToCenter(records);
    ASSERT_NE(center, nullptr);

    auto* favorites = openCenterList<MyFavoriteViewController>(center, 1);
    ASSERT_NE(favorites, nullptr);
    ASSERT_EQ(favorites->myFavouriteList().size(), 1);
    EXPECT_EQ(Service::textOf(favorites->myFavouriteList().first().myId()), bookId);
    center = backToCenter(favorites);
    ASSERT_NE(center, nullptr);

    // --- The welcome message, unread, opened whole; the service then holds it as read.
    auto* box = openCenterList<MyMsgboxViewController>(center, 2);
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->myMsgList().size(), 1);
    const QVariantMap welcome = box->myMsgList().first().toMap();
    EXPECT_EQ(Service::textOf(welcome.value(QStringLiteral("title"))),
              QString::fromUtf8(SampleCatalog::kWelcomeTitle));
    EXPECT_NE(Service::textOf(welcome.value(QStringLiteral("status"))), QStringLiteral("1"));
    ASSERT_NE(box->cell(0), nullptr);
    EXPECT_TRUE(box->cell(0)->isUnread());
    ASSERT_TRUE(tap(box->rowView(0)));
    auto* message = waitForTop<MsgdetailViewController>(0);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->labelTitle()->text(), QString::fromUtf8(SampleCatalog::kWelcomeTitle));
    EXPECT_EQ(message->labelContent()->text(),
              Service::textOf(welcome.value(QStringLiteral("content"))));
    ASSERT_TRUE(waitUntil([&] { return !box->readRequest(); }, kWait));
    ASSERT_TRUE(tap(message->leftBarButton()));
    ASSERT_EQ(waitForTop<MyMsgboxViewController>(0), box);
    ASSERT_NE(box->cell(0), nullptr);
    EXPECT_FALSE(box->cell(0)->isUnread());
    center = backToCenter(box);
    ASSERT_NE(center, nullptr);
    box = openCenterList<MyMsgboxViewController>(center, 2);
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->myMsgList().size(), 1);
    EXPECT_EQ(Service::textOf(box->myMsgList().first().toMap().value(QStringLiteral("status"))),
              QStringLiteral("1"));
    center = backToCenter(box);
    ASSERT_NE(center, nullptr);

    // --- Feedback, sent and stored by the service as written.
    const QString suggestion = QStringLiteral("夜里读书时希望页面再暗一点");
    ASSERT_TRUE(tap(center->cellAt(3)));
    auto* feedback = waitForTop<FeedbackViewController>(0);
    ASSERT_NE(feedback, nullptr);
    type(feedback->textFeedback(), suggestion);
    ASSERT_TRUE(tap(feedback->btnSubmit()));
    ASSERT_TRUE(waitUntil(
        [&] { return feedback->notify() && feedback->notify()->displayCount() > 0 && quiet(); },
        kWait));
    EXPECT_EQ(feedback->notify()->text(), QStringLiteral("感谢你的提交！"));
    EXPECT_EQ(journeytest::serviceRows(serviceDb, QStringLiteral("SELECT content FROM feedback")),
              QStringList{suggestion});
    ASSERT_TRUE(tap(feedback->btnBack()));
    center = waitForTop<MyInfoViewController>(0);
    ASSERT_NE(center, nullptr);

    // --- The largest type in the settings, and the book opened from the shelf shows it.
    ASSERT_TRUE(tap(center->btnSet()));
    auto* settings = waitForTop<SettingViewController>(0);
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(tap(settings->fontControl()->buttonAt(3)));
    EXPECT_EQ(UserDefaults::standard().integerForKey(QStringLiteral("FontSizeId")), 22);
    ASSERT_TRUE(tap(settings->btnBack()));
    center = waitForTop<MyInfoViewController>(0);
    ASSERT_NE(center, nullptr);
    ASSERT_TRUE(tap(center->btnBack()));
    ASSERT_TRUE(waitUntil([&] { return shelf->isVisible(); }));
    face = shelf->gridView()->cellForItemAtIndex(0)->findChild<ShelfBookFace*>(
        QStringLiteral("coverButton"));
    ASSERT_TRUE(tap(face));
    reader = waitForTop<ReadbooksViewController>(0);
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(idle(reader));
    EXPECT_EQ(reader->current_chapter_id, 11);
    EXPECT_EQ(reader->fontSize, 22);
    EXPECT_EQ(computedFontSize(reader), QStringLiteral("22px"));
    EXPECT_GT(reader->allPage, pagesAt18) << "the larger type needs more pages";
    ASSERT_TRUE(toggleBars(reader));
    ASSERT_TRUE(tap(reader->leftBarButton()));
    ASSERT_TRUE(waitUntil([&] { return shelf->isVisible(); }, kWait));

    // --- Sign out from the settings: the shelf's user button asks for a sign-in again, and
    // the service no longer knows the token.
    ASSERT_TRUE(tap(shelf->mineBtn()));
    center = waitForTop<MyInfoViewController>(0);
    ASSERT_NE(center, nullptr);
    ASSERT_TRUE(tap(center->btnSet()));
    settings = waitForTop<SettingViewController>(0);
    ASSERT_NE(settings, nullptr);
    const QString token = UserStore::token();
    ASSERT_TRUE(tap(settings->quitButton()));
    ASSERT_TRUE(waitUntil([&] { return !UserStore::isSignedIn() && quiet(); }, kWait));
    ASSERT_TRUE(waitUntil(
        [&] { return top<FirstViewController>(0) == shelf && shelf->isVisible(); }, kWait));
    EXPECT_FALSE(
        bookdtest::call(QStringLiteral("/data/getreadlog"), bookdtest::firstPage(token)).ok());
    ASSERT_EQ(shelf->bookArr().size(), 1) << "signing out keeps the shelf";
    ASSERT_TRUE(tap(shelf->mineBtn()));
    auto* login = waitForModal<LoginViewController>();
    ASSERT_NE(login, nullptr);
    ASSERT_TRUE(tap(login->btnBack()));
    ASSERT_TRUE(waitUntil([&] { return !shelf->presentedViewController() && shelf->isVisible(); }));

    // --- The service goes away. The book opens from the shelf where it was left, and every
    // stored chapter reads from the device.
    bookd.server().stop();
    const int stored = db.getCountFromChapterByBookid(bookId);
    ASSERT_GE(stored, 11);
    ASSERT_TRUE(tap(face = shelf->gridView()->cellForItemAtIndex(0)->findChild<ShelfBookFace*>(
                        QStringLiteral("coverButton"))));
    reader = waitForTop<ReadbooksViewController>(0);
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(idle(reader));
    EXPECT_EQ(reader->current_chapter_id, 11);
    EXPECT_EQ(reader->str, published(bookId.toInt(), 11));
    const int noticesBefore = reader->notice() ? reader->notice()->displayCount() : 0;
    ASSERT_TRUE(toggleBars(reader));
    // Back to the first chapter, one chapter at a time, then forward through every one stored.
    while (reader->current_chapter_id > db.getMinChapterId(bookId)) {
        const int was = reader->current_chapter_id;
        ASSERT_TRUE(tap(readerButton(QStringLiteral("previousChapterButton"))));
        ASSERT_TRUE(idle(reader));
        ASSERT_EQ(reader->current_chapter_id, was - 1);
    }
    for (int chapter = 1;; ++chapter) {
        SCOPED_TRACE(chapter);
        EXPECT_EQ(reader->current_chapter_id, chapter);
        EXPECT_EQ(reader->str, published(bookId.toInt(), chapter));
        EXPECT_EQ(reader->currentPage, 1);
        if (!db.isExistsInChapter(bookId, chapter + 1))
            break;
        ASSERT_TRUE(tap(readerButton(QStringLiteral("nextChapterButton"))));
        ASSERT_TRUE(idle(reader));
    }
    EXPECT_EQ(reader->current_chapter_id, db.getMaxChapterId(bookId));
    EXPECT_EQ(reader->notice() ? reader->notice()->displayCount() : 0, noticesBefore)
        << "no notice while reading stored chapters offline";

    // Past the last stored chapter the next one cannot come: the reader says so and stays on
    // the last page it has, with its text and its record.
    const int lastStored = reader->current_chapter_id;
    ASSERT_TRUE(toggleBars(reader));
    ASSERT_TRUE(waitUntil([&] { return !reader->navBarState; }));
    for (int turn = 0; reader->currentPage < reader->allPage && turn < 100; ++turn) {
        ASSERT_TRUE(turnForward(reader));
        ASSERT_TRUE(idle(reader));
    }
    ASSERT_EQ(reader->currentPage, reader->allPage);
    ASSERT_TRUE(waitUntil([&] { return !reader->notice() || !reader->notice()->isAnimating(); }));
    ASSERT_TRUE(turnForward(reader));
    ASSERT_TRUE(idle(reader));
    ASSERT_TRUE(waitUntil([&] { return quiet() && reader->notice(); }, kWait));
    EXPECT_EQ(reader->notice()->text(), L("The network is not good"));
    EXPECT_EQ(reader->current_chapter_id, lastStored);
    EXPECT_EQ(reader->currentPage, reader->allPage);
    EXPECT_EQ(reader->str, published(bookId.toInt(), lastStored));
    EXPECT_FALSE(db.isExistsInChapter(bookId, lastStored + 1));
    EXPECT_EQ(db.selectLastReadRecord(bookId).value(QStringLiteral("chapter_id")).toInt(),
              lastStored);
    EXPECT_TRUE(notices.shown.contains(L("The network is not good")));

    // Every notice of the day came up where the user could see it.
    EXPECT_TRUE(notices.shown.contains(L("Register successful")));
    EXPECT_TRUE(notices.shown.contains(QStringLiteral("添加书签成功")));
    EXPECT_TRUE(notices.shown.contains(QStringLiteral("感谢你的提交！")));
    EXPECT_EQ(notices.hidden, QStringList());

    // --- The next morning, still without the service: a new launch over the same home opens
    // on the shelf without the guide, and the book opens where it was left, in the type chosen.
    delegate.reset();
    UserDefaults::standard().reload();
    delegate = std::make_unique<AppDelegate>();
    Application::shared().setDelegate(delegate.get());
    ASSERT_TRUE(Application::shared().launch());
    window = delegate->window();
    tabs = delegate->tabbarcontroller();
    shelf = top<FirstViewController>(0);
    ASSERT_NE(shelf, nullptr);
    ASSERT_TRUE(waitUntil([&] { return shelf->isVisible(); }));
    EXPECT_FALSE(guide->isVisible());
    ASSERT_EQ(shelf->bookArr().size(), 1);
    face = shelf->gridView()->cellForItemAtIndex(0)->findChild<ShelfBookFace*>(
        QStringLiteral("coverButton"));
    ASSERT_NE(face, nullptr);
    EXPECT_TRUE(face->showsCover());
    ASSERT_TRUE(tap(face));
    reader = waitForTop<ReadbooksViewController>(0);
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(idle(reader));
    EXPECT_EQ(reader->current_chapter_id, lastStored);
    EXPECT_EQ(reader->currentPage, reader->allPage);
    EXPECT_EQ(reader->str, published(bookId.toInt(), lastStored));
    EXPECT_EQ(computedFontSize(reader), QStringLiteral("22px"));
}

// The tall screen, signing up from the shelf; the short one, signing up to read a book.
INSTANTIATE_TEST_SUITE_P(Screens, FirstDayTest,
                         ::testing::Values(std::make_tuple(Window::kTallHeight, false),
                                           std::make_tuple(Window::kShortHeight, true)));

} // namespace
