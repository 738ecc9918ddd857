#include "reader/ReaderScreenshots.h"

#include <QListWidget>
#include <QPointer>

#include "platform/UserDefaults.h"
#include "platform/ui/ScreenshotWalk.h"
#include "platform/ui/WebView.h"
#include "reader/BookChapterAndMarkViewController.h"
#include "reader/BookChatperViewController.h"
#include "reader/BookMarkViewController.h"
#include "reader/ReadbooksViewController.h"
#include "storage/BookDb.h"
#include "widgets/SVSegmentedControl.h"
#include "widgets/WEPopoverController.h"

namespace {

const QString kBook = QStringLiteral("screenshot-walk");
constexpr int kOrder = 200;

const char* const kParagraphs[] = {
    "　　天色将晚，山路上的行人渐渐少了。林远背着一只旧包袱，一步一步往镇上走去，"
    "心里盘算着明日要办的几件事情。",
    "　　风从山口吹过来，带着潮湿的泥土气息。他抬头看了看天，云层压得很低，像是要下雨。",
    "　　“再走半个时辰就到了。”他自言自语道，把包袱往肩上又提了提。",
    "　　路边的茶棚还亮着灯。老板娘正在收拾桌椅，见他走近，笑着招呼：“客官，喝碗热茶再走吧，"
    "这天怕是要变了。”",
    "　　林远犹豫了一下，还是在长凳上坐了下来。茶是粗茶，却烫得恰到好处，一口下去，"
    "整个人都暖和起来。",
    "　　远处传来几声犬吠，接着是马蹄声，由远及近，在茶棚外停住了。",
};

QString sampleChapter(int number) {
    QString text;
    for (int round = 0; round < 4; ++round)
        for (const char* p : kParagraphs)
            text += QStringLiteral("<p>") + QString::fromUtf8(p) + QStringLiteral("</p>");
    Q_UNUSED(number);
    return text;
}

// The walk's own book: chapters and a menu under an id no shelf lists.
void seed() {
    BookDb db;
    if (db.isExistsInChapter(kBook, 1))
        return;
    QVariantList chapters;
    QVariantList menu;
    const QStringList titles = {QStringLiteral("第一章 山路"), QStringLiteral("第二章 茶棚"),
                                QStringLiteral("第三章 夜雨"), QStringLiteral("第四章 来客"),
                                QStringLiteral("第五章 旧识")};
    for (int n = 1; n <= 12; ++n) {
        const QString title =
            n <= titles.size() ? titles.at(n - 1) : QStringLiteral("第%1章").arg(n);
        menu.append(QVariantMap{{QStringLiteral("chapter_number"), QString::number(n)},
                                {QStringLiteral("title"), title}});
        if (n <= 5)
            chapters.append(QVariantMap{{QStringLiteral("book_id"), kBook},
                                        {QStringLiteral("chapter_number"), QString::number(n)},
                                        {QStringLiteral("title"), title},
                                        {QStringLiteral("content"), sampleChapter(n)}});
    }
    db.insertChapterAll(kBook, QVariantMap{{QStringLiteral("result"), QStringLiteral("ok")},
                                           {QStringLiteral("chapters"), chapters}});
    BookDb::waitForBackgroundWrites();
    db.insertChapterMenu(kBook, QVariantMap{{QStringLiteral("result"), QStringLiteral("ok")},
                                            {QStringLiteral("chapter_list"), menu}});
    BookDb::waitForBackgroundWrites();
}

// The book the reader opens: the first on the shelf whose first two chapters are stored (the
// walk downloaded it earlier), else the walk's own.
QString readerBook() {
    BookDb db;
    for (const QVariant& row : db.selectAllBooks()) {
        const QString id = row.toMap().value(QStringLiteral("book_id")).toString();
        if (db.isExistsInChapter(id, 1) && db.isExistsInChapter(id, 2) && db.isExistsMenu(id))
            return id;
    }
    seed();
    return kBook;
}

// A reader on chapter 2, page 2, in the given style; the user's settings stay as they were.
ReadbooksViewController* pushReader(ScreenshotWalk::Context& ctx, int style) {
    const QString book = readerBook();
    UserDefaults& defaults = UserDefaults::standard();
    const QVariant saved = defaults.objectForKey(QStringLiteral("ReadType"));
    const QVariant savedLight = defaults.objectForKey(QStringLiteral("LightSizeId"));
    defaults.setObject(QStringLiteral("ReadType"), style);
    defaults.setObject(QStringLiteral("LightSizeId"), QStringLiteral("100"));
    auto* reader = new ReadbooksViewController();
    reader->book_id = book;
    reader->current_chapter_id = 2;
    reader->currentPage = 2;
    reader->str =
        BookDb().selectChapterContent(book, 2).value(QStringLiteral("content")).toString();
    reader->loadViewIfNeeded();
    ctx.push(reader);
    saved.isValid() ? defaults.setObject(QStringLiteral("ReadType"), saved)
                    : defaults.removeObjectForKey(QStringLiteral("ReadType"));
    savedLight.isValid() ? defaults.setObject(QStringLiteral("LightSizeId"), savedLight)
                         : defaults.removeObjectForKey(QStringLiteral("LightSizeId"));
    ctx.settle(3000);
    return reader;
}

// The reader's shot: its page must show the chapter's text.
ReadbooksViewController* shownReader(ScreenshotWalk::Context& ctx, int style) {
    ReadbooksViewController* reader = pushReader(ctx, style);
    requireReaderText(ctx, reader);
    return reader;
}

} // namespace

bool readerShowsText(ReadbooksViewController* reader) {
    return reader && !reader->str.trimmed().isEmpty() &&
           ScreenshotWalk::inkShare(reader->webView()) > 0.003;
}

void requireReaderText(ScreenshotWalk::Context& ctx, ReadbooksViewController* reader) {
    QPointer<ReadbooksViewController> guard(reader);
    ctx.require(ctx.waitFor([&] { return !guard || readerShowsText(guard); }, 10000) &&
                    readerShowsText(guard),
                QStringLiteral("the page shows no text"));
}

void registerReaderScreenshots() {
    ScreenshotWalk::add(QStringLiteral("reader_page_day"), kOrder,
                        [](ScreenshotWalk::Context& ctx) { shownReader(ctx, 1); });
    ScreenshotWalk::add(QStringLiteral("reader_page_night"), kOrder + 1,
                        [](ScreenshotWalk::Context& ctx) { shownReader(ctx, 2); });
    ScreenshotWalk::add(QStringLiteral("reader_bars"), kOrder + 2,
                        [](ScreenshotWalk::Context& ctx) {
                            ReadbooksViewController* r = shownReader(ctx, 1);
                            r->hideNavAndToolbar();
                            ctx.settle(800);
                            ctx.require(r->toolbarItems() && r->toolbarItems()->isVisible(),
                                        QStringLiteral("the bars did not show"));
                        });
    const struct {
        const char* name;
        int item;
    } popovers[] = {
        {"reader_popover_font", 2}, {"reader_popover_light", 3}, {"reader_popover_jump", 5}};
    int order = kOrder + 3;
    for (const auto& p : popovers) {
        const int item = p.item;
        ScreenshotWalk::add(
            QString::fromLatin1(p.name), order++, [item](ScreenshotWalk::Context& ctx) {
                ReadbooksViewController* r = shownReader(ctx, 1);
                r->hideNavAndToolbar();
                ctx.settle(600);
                r->showPop(item);
                ctx.settle(600);
                ctx.require(r->popoverController() && r->popoverController()->isPopoverVisible(),
                            QStringLiteral("the popover did not open"));
            });
    }
    for (int pane = 0; pane < 2; ++pane) {
        ScreenshotWalk::add(pane == 0 ? QStringLiteral("reader_contents_chapters")
                                      : QStringLiteral("reader_contents_bookmarks_empty"),
                            order++, [pane](ScreenshotWalk::Context& ctx) {
                                auto* contents = new BookChapterAndMarkViewController();
                                contents->book_id = readerBook();
                                contents->currentChatperId = 2;
                                ctx.push(contents);
                                ctx.settle(600);
                                if (pane == 0) {
                                    QListWidget* rows = contents->ChatperView()->tableView();
                                    ctx.require(rows && rows->count() >= 2,
                                                QStringLiteral("the chapters are not listed"));
                                } else {
                                    contents->segmentedControl()->setSelectedIndex(1);
                                    contents->segmentedControlChangedValue(1);
                                    ctx.settle(300);
                                    ctx.require(contents->MarkView()->emptyView() &&
                                                    contents->MarkView()->emptyView()->isVisible(),
                                                QStringLiteral("no empty bookmarks view"));
                                }
                            });
    }
}
