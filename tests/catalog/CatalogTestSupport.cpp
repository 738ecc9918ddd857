#include "tests/catalog/CatalogTestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QJsonDocument>

#include "catalog/BookDetailViewController.h"
#include "catalog/CoverFiles.h"
#include "engines/HttpRequest.h"
#include "engines/SqlDatabase.h"
#include "engines/SqlStatement.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "reader/ReadbooksViewController.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"
#include "tests/support/ScreenStage.h"
#include "tests/support/TestUtil.h"

namespace catalogtest {

FakeService* CatalogScreenTest::service = nullptr;
Window* CatalogScreenTest::window = nullptr;
NavigationController* CatalogScreenTest::nav = nullptr;

QByteArray pngBytes(const QColor& color) {
    QImage image(26, 36, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void seedBook(const QString& bookId, const QString& title, const QString& cover, qint64 updated) {
    ASSERT_TRUE(BookDb().insertBook({{QStringLiteral("book_id"), bookId},
                                     {QStringLiteral("title"), title},
                                     {QStringLiteral("cover"), cover},
                                     {QStringLiteral("last_chapter_number"), QStringLiteral("30")},
                                     {QStringLiteral("download_time"), QString::number(updated)},
                                     {QStringLiteral("update_time"), QString::number(updated)}}));
}

QString chapterText(const QString& bookId, int number) {
    return QStringLiteral("<p>book %1 chapter %2</p>").arg(bookId).arg(number);
}

void seedChapters(const QString& bookId, const QList<int>& numbers) {
    QVariantList chapters;
    for (int n : numbers)
        chapters.append(QVariantMap{{QStringLiteral("book_id"), bookId},
                                    {QStringLiteral("chapter_number"), n},
                                    {QStringLiteral("title"), QStringLiteral("第%1章").arg(n)},
                                    {QStringLiteral("content"), chapterText(bookId, n)}});
    ASSERT_TRUE(BookDb().insertChapterAll(bookId, {{QStringLiteral("result"), QStringLiteral("ok")},
                                                   {QStringLiteral("chapters"), chapters}}));
    BookDb::waitForBackgroundWrites();
}

void writeCover(const QString& name) {
    ASSERT_TRUE(CoverFiles::save(pngBytes(), name));
}

QList<int> rowsOf(const QString& bookId) {
    BookDb::waitForBackgroundWrites();
    SqlDatabase db(BookDb().dbPath());
    EXPECT_TRUE(db.open());
    QList<int> counts;
    for (const char* table : {"book", "chapter", "chaptermenu", "lastreadrecord", "mark"}) {
        SqlStatement st = db.prepare(QStringLiteral("SELECT COUNT(*) FROM `%1` WHERE `book_id`=?")
                                         .arg(QLatin1String(table)));
        st.bind({bookId});
        counts.append(st.next() ? int(st.integer(0)) : -1);
    }
    return counts;
}

void clearLibrary() {
    BookDb::waitForBackgroundWrites();
    SqlDatabase db(BookDb().dbPath());
    ASSERT_TRUE(db.open());
    ASSERT_TRUE(db.executeScript(
        QStringLiteral("DELETE FROM book; DELETE FROM chapter; DELETE FROM chaptermenu; "
                       "DELETE FROM lastreadrecord; DELETE FROM mark;")));
    QDir(CoverFiles::directory()).removeRecursively();
}

QVariantMap bookJson(const QString& bookId, const QString& title, int lastChapter) {
    return {
        {QStringLiteral("book_id"), bookId.toInt()},
        {QStringLiteral("title"), title},
        {QStringLiteral("author"), QStringLiteral("作者") + bookId},
        {QStringLiteral("coverimg"), QString()},
        {QStringLiteral("category"), QVariantMap{{QStringLiteral("name"), QStringLiteral("玄幻")}}},
        {QStringLiteral("last_chapter_number"), lastChapter},
        {QStringLiteral("last_update_time"), QStringLiteral("2026-11-30")},
        {QStringLiteral("status"), QStringLiteral("连载中")},
        {QStringLiteral("intro"), QStringLiteral("<p>一段简介。</p>")},
        {QStringLiteral("source_site_name"), QStringLiteral("甲站")},
        {QStringLiteral("source_site_nums"), 3},
        {QStringLiteral("is_favouite"), 0}};
}

void CatalogScreenTest::SetUpTestSuite() {
    service = new FakeService();
    ServiceConfig::setBaseUrl(service->baseUrl());
    ServiceConfig::setLookupBase(service->baseUrl());
    HttpRequest::setDefaultTimeOutSeconds(5);
    Window::setScreenHeight(Window::kTallHeight);
    nav = testutil::openStage(window);
}

void CatalogScreenTest::TearDownTestSuite() {
    testutil::closeStage(window, nav);
    delete service;
    service = nullptr;
}

void CatalogScreenTest::SetUp() {
    clearLibrary();
    // No newer version unless a test says so: the shelf's check then shows nothing.
    service->route(QStringLiteral("GET"), QStringLiteral("/lookup"),
                   FakeService::Reply::json(R"({"resultCount":0,"results":[]})"));
    // No related books unless a test says so.
    service->route(QStringLiteral("GET"), QStringLiteral("/data/alsoread"),
                   FakeService::Reply::json(R"({"result":"ok","books":[]})"));
}

void CatalogScreenTest::TearDown() {
    for (AlertView* alert : AlertView::visibleAlerts())
        alert->dismiss();
    for (ViewController* screen : nav->viewControllers()) {
        if (screen->presentedViewController())
            screen->dismissModal(false);
    }
    if (nav->presentedViewController())
        nav->dismissModal(false);
    nav->popToRootViewController(false);
    testutil::spin(30);
    for (const char* key : {"user_token", "user_info", "nomore_remind", "is_open_wifi"})
        UserDefaults::standard().removeObjectForKey(QString::fromLatin1(key));
    BookDetailViewController::wifiAvailable = [] { return true; };
    service->clearRequests();
}

void CatalogScreenTest::signIn(const QString& token) {
    UserStore::signIn(token, {{QStringLiteral("id"), 7}}, QStringLiteral("reader@example.com"));
}

BookDetailViewController* CatalogScreenTest::openDetail(const MyBookList& book) {
    auto* detail = new BookDetailViewController();
    detail->setBookInfo(book);
    nav->pushViewController(detail, false);
    detail->loadViewIfNeeded();
    return detail;
}

ReadbooksViewController* CatalogScreenTest::topReader() const {
    return qobject_cast<ReadbooksViewController*>(nav->topViewController());
}

bool CatalogScreenTest::presentsLogin(ViewController* screen) {
    auto* shown = qobject_cast<NavigationController*>(screen->presentedViewController());
    return shown && shown->rootViewController() &&
           qstrcmp(shown->rootViewController()->metaObject()->className(), "LoginViewController") ==
               0;
}

void CatalogScreenTest::serveBook(const QString& bookId, const QString& coverPath) {
    const QString base = service->baseUrl();
    service->route(QStringLiteral("GET"), QStringLiteral("/data/getcontent"),
                   [bookId, coverPath, base](const FakeService::Request& r) {
                       QVariantList chapters;
                       for (const QString& n : r.queryValue(QStringLiteral("chapters"))
                                                   .split(QLatin1Char(','), Qt::SkipEmptyParts))
                           chapters.append(QVariantMap{
                               {QStringLiteral("book_id"), bookId},
                               {QStringLiteral("chapter_number"), n.toInt()},
                               {QStringLiteral("title"), QStringLiteral("第%1章").arg(n)},
                               {QStringLiteral("content"), chapterText(bookId, n.toInt())}});
                       const QVariantMap answer{
                           {QStringLiteral("result"), QStringLiteral("ok")},
                           {QStringLiteral("chapters"), chapters},
                           {QStringLiteral("book"),
                            QVariantMap{{QStringLiteral("book_id"), bookId.toInt()},
                                        {QStringLiteral("title"), QStringLiteral("下载的书")},
                                        {QStringLiteral("last_chapter_number"), 25},
                                        {QStringLiteral("coverimg"),
                                         coverPath.isEmpty() ? QString() : base + coverPath}}}};
                       return FakeService::Reply::json(QJsonDocument::fromVariant(answer).toJson());
                   });
    QVariantList menu;
    for (int n = 1; n <= 25; ++n)
        menu.append(QVariantMap{{QStringLiteral("chapter_number"), QString::number(n)},
                                {QStringLiteral("title"), QStringLiteral("第%1章").arg(n)}});
    service->route(
        QStringLiteral("GET"), QStringLiteral("/data/menu"),
        FakeService::Reply::json(
            QJsonDocument::fromVariant(QVariantMap{{QStringLiteral("result"), QStringLiteral("ok")},
                                                   {QStringLiteral("chapter_list"), menu}})
                .toJson()));
    service->route(QStringLiteral("GET"), QStringLiteral("/data/alsoread"),
                   FakeService::Reply::json(R"({"result":"ok","books":[],"count":0})"));
    service->route(QStringLiteral("GET"), QStringLiteral("/covers/1.png"),
                   FakeService::Reply::text(pngBytes(), "image/png"));
}

} // namespace catalogtest
