#include "reader/PositionScreenshots.h"

#include "platform/UserDefaults.h"
#include "platform/ui/ScreenshotWalk.h"
#include "reader/ReadbooksViewController.h"
#include "reader/ReaderScreenshots.h"
#include "storage/BookDb.h"

namespace {

const QString kBook = QStringLiteral("screenshot-walk-position");
constexpr int kOrder = 290;

const char* const kParagraphs[] = {
    "　　天亮以前，码头上已经站满了等船的人。有人挑着担子，有人抱着孩子，"
    "也有人什么都不带，只是望着江面出神。",
    "　　船来得比往日晚。第一声汽笛从雾里传出来的时候，人群里起了一阵轻轻的骚动。",
    "　　周掌柜把账本塞进怀里，拉了拉身边的伙计：“记住，上了船先找舱位，别管行李。”",
    "　　伙计点点头，眼睛却一直盯着对岸。那里有一座灰色的塔，塔顶的灯还亮着，"
    "一明一暗，像是在数着什么。",
    "　　雾慢慢散开，江水露出了原来的颜色。船靠岸了，跳板搭上来，发出沉闷的一声响。",
};

void seed() {
    BookDb db;
    if (db.isExistsInChapter(kBook, 1))
        return;
    QString text;
    // Each round is a day of its own, so no sentence shows twice.
    for (int day = 1; day <= 6; ++day)
        for (const char* p : kParagraphs)
            text += QStringLiteral("<p>") +
                    QString::fromUtf8(p).replace(QStringLiteral("天亮以前"),
                                                 QStringLiteral("第%1天，天亮以前").arg(day)) +
                    QStringLiteral("</p>");
    db.insertChapterAll(kBook,
                        QVariantMap{{QStringLiteral("result"), QStringLiteral("ok")},
                                    {QStringLiteral("chapters"),
                                     QVariantList{QVariantMap{
                                         {QStringLiteral("book_id"), kBook},
                                         {QStringLiteral("chapter_number"), QStringLiteral("1")},
                                         {QStringLiteral("title"), QStringLiteral("第一章 渡口")},
                                         {QStringLiteral("content"), text}}}}});
    BookDb::waitForBackgroundWrites();
}

// The chapter at page 7 in 18-point type; the user's own size stays as it was.
ReadbooksViewController* pushReader(ScreenshotWalk::Context& ctx) {
    seed();
    UserDefaults& defaults = UserDefaults::standard();
    const QVariant saved = defaults.objectForKey(QStringLiteral("FontSizeId"));
    defaults.setObject(QStringLiteral("FontSizeId"), 18);
    auto* reader = new ReadbooksViewController();
    reader->book_id = kBook;
    reader->current_chapter_id = 1;
    reader->currentPage = 7;
    reader->str =
        BookDb().selectChapterContent(kBook, 1).value(QStringLiteral("content")).toString();
    reader->loadViewIfNeeded();
    ctx.push(reader);
    saved.isValid() ? defaults.setObject(QStringLiteral("FontSizeId"), saved)
                    : defaults.removeObjectForKey(QStringLiteral("FontSizeId"));
    ctx.settle(3000);
    return reader;
}

} // namespace

void registerPositionScreenshots() {
    ScreenshotWalk::add(
        QStringLiteral("reader_position_18pt"), kOrder, [](ScreenshotWalk::Context& ctx) {
            requireReaderText(ctx, pushReader(ctx));
        });
    ScreenshotWalk::add(
        QStringLiteral("reader_position_22pt"), kOrder + 1, [](ScreenshotWalk::Context& ctx) {
            ReadbooksViewController* r = pushReader(ctx);
            r->changeFontSize(22);
            ctx.settle(3000);
            requireReaderText(ctx, r);
        });
}
