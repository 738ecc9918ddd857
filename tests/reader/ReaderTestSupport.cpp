#include "tests/reader/ReaderTestSupport.h"

#include "engines/HttpRequest.h"
#include "platform/UserDefaults.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"
#include "tests/support/ScreenStage.h"
#include "tests/support/TestUtil.h"

namespace readertest {

FakeService* ReaderScreenTest::service = nullptr;
Window* ReaderScreenTest::window = nullptr;
NavigationController* ReaderScreenTest::nav = nullptr;

QVariantMap chapter(const QString& bookId, int number, int pages) {
    QString body; // 15 lines of 32 px are one page of 480 on the tall screen
    for (int i = 0; i < pages * 15; ++i)
        body += QStringLiteral("<div>ch%1 第%2行</div>").arg(number).arg(i + 1);
    return {{QStringLiteral("book_id"), bookId},
            {QStringLiteral("chapter_number"), number},
            {QStringLiteral("title"), QStringLiteral("第%1章").arg(number)},
            {QStringLiteral("content"), body}};
}

QString storedText(const QString& bookId, int chapter) {
    return BookDb()
        .selectChapterContent(bookId, chapter)
        .value(QStringLiteral("content"))
        .toString();
}

QVariantMap chaptersAnswer(const QVariantList& chapters) {
    return QVariantMap{{QStringLiteral("result"), QStringLiteral("ok")},
                       {QStringLiteral("chapters"), chapters}};
}

QVariantMap menuAnswer(int count) {
    QVariantList menu;
    for (int n = 1; n <= count; ++n)
        menu.append(QVariantMap{{QStringLiteral("chapter_number"), QString::number(n)},
                                {QStringLiteral("title"), QStringLiteral("第%1章").arg(n)}});
    return QVariantMap{{QStringLiteral("result"), QStringLiteral("ok")},
                       {QStringLiteral("chapter_list"), menu}};
}

void seedBook(const QString& bookId, int lastChapter, const QList<int>& stored, int pages) {
    BookDb db;
    if (!db.isExistsTheBook(bookId)) {
        ASSERT_TRUE(
            db.insertBook({{QStringLiteral("book_id"), bookId},
                           {QStringLiteral("title"), QStringLiteral("书") + bookId},
                           {QStringLiteral("cover"), QString()},
                           {QStringLiteral("last_chapter_number"), QString::number(lastChapter)},
                           {QStringLiteral("download_time"), QStringLiteral("1700000000")},
                           {QStringLiteral("update_time"), QStringLiteral("1700000000")}}));
    }
    QVariantList chapters;
    for (int n : stored)
        chapters.append(chapter(bookId, n, pages));
    ASSERT_TRUE(db.insertChapterAll(bookId, chaptersAnswer(chapters)));
    BookDb::waitForBackgroundWrites();
}

FakeService::Reply contentAnswer(const FakeService::Request& request, int pages) {
    const QString bookId = request.queryValue(QStringLiteral("book_id"));
    QVariantList chapters;
    for (const QString& n :
         request.queryValue(QStringLiteral("chapters")).split(QLatin1Char(','), Qt::SkipEmptyParts))
        chapters.append(chapter(bookId, n.toInt(), pages));
    return FakeService::Reply::json(QJsonDocument::fromVariant(chaptersAnswer(chapters)).toJson());
}

void ReaderScreenTest::SetUpTestSuite() {
    service = new FakeService();
    ServiceConfig::setBaseUrl(service->baseUrl());
    HttpRequest::setDefaultTimeOutSeconds(5);
    const QByteArray ok = R"({"result":"ok"})";
    service->route(QStringLiteral("GET"), QStringLiteral("/site/readchapter"),
                   FakeService::Reply::json(ok));
    service->route(QStringLiteral("GET"), QStringLiteral("/feedback/reporterror"),
                   FakeService::Reply::json(ok));
    serveContent();
    Window::setScreenHeight(Window::kTallHeight);
    nav = testutil::openStage(window);
}

void ReaderScreenTest::TearDownTestSuite() {
    // The web views go before the application object.
    testutil::closeStage(window, nav);
    delete service;
    service = nullptr;
}

void ReaderScreenTest::TearDown() {
    nav->popToRootViewController(false);
    testutil::spin(50);
    UserStore::signOut();
    service->route(QStringLiteral("GET"), QStringLiteral("/feedback/reporterror"),
                   FakeService::Reply::json(R"({"result":"ok"})"));
    for (const char* key : {"user_token", "LightSizeId", "FontSizeId", "ReadType"})
        UserDefaults::standard().removeObjectForKey(QString::fromLatin1(key));
    service->clearRequests();
    serveContent();
}

QStringList ReaderScreenTest::askedRuns() {
    QStringList runs;
    for (const FakeService::Request& r : service->requests(QStringLiteral("/data/getcontent")))
        runs.append(r.queryValue(QStringLiteral("chapters")));
    return runs;
}

void ReaderScreenTest::serveContent(const FakeService::Reply& reply) {
    for (const char* method : {"GET", "POST"})
        service->route(QString::fromLatin1(method), QStringLiteral("/data/getcontent"), reply);
}

void ReaderScreenTest::serveContent(int pages) {
    for (const char* method : {"GET", "POST"})
        service->route(QString::fromLatin1(method), QStringLiteral("/data/getcontent"),
                       [pages](const FakeService::Request& r) { return contentAnswer(r, pages); });
}

int ReaderScreenTest::layouts(ReadbooksViewController* reader) const {
    return reader->property("layouts").toInt();
}

ReadbooksViewController* ReaderScreenTest::track(ReadbooksViewController* reader) {
    QObject::connect(reader, &ReadbooksViewController::pageLaidOut, reader, [reader] {
        reader->setProperty("layouts", reader->property("layouts").toInt() + 1);
    });
    return reader;
}

ReadbooksViewController* ReaderScreenTest::open(const QString& bookId, int chapterId, int page) {
    auto* reader = new ReadbooksViewController();
    reader->str = storedText(bookId, chapterId);
    reader->book_id = bookId;
    reader->current_chapter_id = chapterId;
    reader->currentPage = page;
    nav->pushViewController(track(reader), false);
    EXPECT_TRUE(waitForLayouts(reader, 1));
    return reader;
}

bool ReaderScreenTest::waitForLayouts(ReadbooksViewController* reader, int count) {
    return testutil::waitUntil([&] { return layouts(reader) >= count && !reader->isBusy(); },
                               60000);
}

bool ReaderScreenTest::settle(ReadbooksViewController* r) {
    return testutil::waitUntil(
        [r] { return !r->isBusy() && (!r->notice() || !r->notice()->isAnimating()); }, 30000);
}

BookChapterAndMarkViewController* ReaderScreenTest::openContents(const QString& bookId,
                                                                 int current) {
    auto* contents = new BookChapterAndMarkViewController();
    contents->book_id = bookId;
    contents->currentChatperId = current;
    nav->pushViewController(contents, false);
    testutil::spin(50);
    return contents;
}

ReadbooksViewController* ReaderScreenTest::topReader() const {
    return qobject_cast<ReadbooksViewController*>(nav->topViewController());
}

QString ReaderScreenTest::recorded(const QString& bookId) {
    const QVariantMap record = BookDb().selectLastReadRecord(bookId);
    return record.value(QStringLiteral("chapter_id")).toString() + QLatin1Char('/') +
           record.value(QStringLiteral("page_id")).toString();
}

} // namespace readertest
