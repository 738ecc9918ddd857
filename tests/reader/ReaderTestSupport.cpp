#include "tests/reader/ReaderTestSupport.h"

#include "engines/HttpRequest.h"
#include "platform/UserDefaults.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "tests/support/TestUtil.h"

namespace readertest {

FakeService* ReaderScreenTest::service = nullptr;
Window* ReaderScreenTest::window = nullptr;
NavigationController* ReaderScreenTest::nav = nullptr;

QString pagesOfText(int pages, const QString& tag) {
    QString body;
    for (int i = 0; i < pages * 15; ++i)
        body += QStringLiteral("<div>%1 第%2行</div>").arg(tag).arg(i + 1);
    return body;
}

QVariantMap chapter(const QString& bookId, int number, int pages) {
    QVariantMap c;
    c.insert(QStringLiteral("book_id"), bookId);
    c.insert(QStringLiteral("chapter_number"), number);
    c.insert(QStringLiteral("title"), QStringLiteral("第%1章").arg(number));
    c.insert(QStringLiteral("content"), pagesOfText(pages, QStringLiteral("ch%1").arg(number)));
    return c;
}

void seedBook(const QString& bookId, int lastChapter, const QList<int>& stored, int pages) {
    BookDb db;
    QVariantMap book;
    book.insert(QStringLiteral("book_id"), bookId);
    book.insert(QStringLiteral("title"), QStringLiteral("书") + bookId);
    book.insert(QStringLiteral("cover"), QString());
    book.insert(QStringLiteral("last_chapter_number"), QString::number(lastChapter));
    book.insert(QStringLiteral("download_time"), QStringLiteral("1700000000"));
    book.insert(QStringLiteral("update_time"), QStringLiteral("1700000000"));
    if (!db.isExistsTheBook(bookId)) {
        ASSERT_TRUE(db.insertBook(book));
    }
    QVariantList chapters;
    for (int n : stored)
        chapters.append(chapter(bookId, n, pages));
    QVariantMap answer;
    answer.insert(QStringLiteral("result"), QStringLiteral("ok"));
    answer.insert(QStringLiteral("chapters"), chapters);
    ASSERT_TRUE(db.insertChapterAll(bookId, answer));
    BookDb::waitForBackgroundWrites();
}

FakeService::Reply contentAnswer(const FakeService::Request& request, int pages) {
    const QString bookId = request.queryValue(QStringLiteral("book_id"));
    QVariantList chapters;
    for (const QString& n :
         request.queryValue(QStringLiteral("chapters")).split(QLatin1Char(','), Qt::SkipEmptyParts))
        chapters.append(chapter(bookId, n.toInt(), pages));
    QVariantMap answer;
    answer.insert(QStringLiteral("result"), QStringLiteral("ok"));
    answer.insert(QStringLiteral("chapters"), chapters);
    return FakeService::Reply::json(QJsonDocument::fromVariant(answer).toJson());
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
    for (const char* method : {"GET", "POST"})
        service->route(QString::fromLatin1(method), QStringLiteral("/data/getcontent"),
                       [](const FakeService::Request& r) { return contentAnswer(r); });
    Window::setScreenHeight(Window::kTallHeight);
    window = new Window();
    nav = new NavigationController(new ViewController());
    window->setRootViewController(nav);
    window->makeKeyAndVisible();
}

void ReaderScreenTest::TearDownTestSuite() {
    // The web views go before the application object.
    delete window;
    window = nullptr;
    nav = nullptr;
    delete service;
    service = nullptr;
}

void ReaderScreenTest::TearDown() {
    nav->popToRootViewController(false);
    testutil::spin(50);
    UserDefaults::standard().removeObjectForKey(QStringLiteral("user_token"));
    service->clearRequests();
}

int ReaderScreenTest::layouts(ReadbooksViewController* reader) const {
    return reader->property("layouts").toInt();
}

ReadbooksViewController* ReaderScreenTest::open(const QString& bookId, int chapterId, int page) {
    auto* reader = new ReadbooksViewController();
    reader->str = BookDb()
                      .selectChapterContent(bookId, chapterId)
                      .value(QStringLiteral("content"))
                      .toString();
    reader->book_id = bookId;
    reader->current_chapter_id = chapterId;
    reader->currentPage = page;
    QObject::connect(reader, &ReadbooksViewController::pageLaidOut, reader, [reader] {
        reader->setProperty("layouts", reader->property("layouts").toInt() + 1);
    });
    nav->pushViewController(reader, false);
    EXPECT_TRUE(waitForLayouts(reader, 1));
    return reader;
}

bool ReaderScreenTest::waitForLayouts(ReadbooksViewController* reader, int count) {
    return testutil::waitUntil([&] { return layouts(reader) >= count && !reader->isBusy(); },
                               60000);
}

bool ReaderScreenTest::waitIdle(ReadbooksViewController* reader) {
    return testutil::waitUntil([&] { return !reader->isBusy(); }, 30000);
}

QString ReaderScreenTest::noticeText(ReadbooksViewController* reader) {
    testutil::waitUntil([&] { return reader->notice() && reader->notice()->displayCount() > 0; },
                        10000);
    return reader->notice() ? reader->notice()->text() : QString();
}

QVariantMap ReaderScreenTest::lastRead(const QString& bookId) {
    return BookDb().selectLastReadRecord(bookId);
}

} // namespace readertest
