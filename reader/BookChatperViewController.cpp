#include "reader/BookChatperViewController.h"

#include <QLabel>
#include <QListWidget>
#include <QScroller>

#include "app/tooles.h"
#include "catalog/KeepWholeButton.h"
#include "engines/HttpRequest.h"
#include "platform/Localizable.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "reader/BookChapterAndMarkViewController.h"
#include "reader/BookChatperCell.h"
#include "reader/ChapterPolicy.h"
#include "reader/ContentsTable.h"
#include "service/Service.h"
#include "storage/BookDb.h"
#include "storage/ReadingPositions.h"

BookChatperViewController::BookChatperViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("BookChatperViewController"));
    // The pane lies on the screen's panel; its rows are drawn straight onto it.
    setAutoFillBackground(false);
}

BookChatperViewController::~BookChatperViewController() = default;

void BookChatperViewController::viewDidLoad() {
    const QRect screen = Window::screenBounds();
    header_ = new QLabel(QStringLiteral("免费章节"), this);
    header_->setObjectName(QStringLiteral("chapterSectionHeader"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(18);
    header_->setFont(font);
    header_->setContentsMargins(10, 0, 0, 0);
    header_->setStyleSheet(QStringLiteral("color: white; background-color: rgb(201, 186, 153);"));
    header_->setGeometry(0, 0, screen.width() - 16, 37);
    // The whole book for reading offline, with its progress.
    KeepWholeButton::create(bookid, this, this, QRect(screen.width() - 16 - 94, 5, 88, 27));

    table_ = ContentsTable::create(this, QStringLiteral("chapterTable"), new BookChatperCell,
                                   QRect(0, 37, screen.width() - 16, height() - 37));
    table_->setUniformItemSizes(true);
    table_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    QScroller::grabGesture(table_->viewport(), QScroller::LeftMouseButtonGesture);
    connect(table_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { didSelectRow(table_->row(item)); });

    chapterList = BookDb().selectAllChapterMenu(bookid);
    reloadData();
    if (chapterList.isEmpty())
        getMenu();
}

void BookChatperViewController::reloadData() {
    table_->clear();
    for (const QVariant& v : chapterList) {
        const QVariantMap entry = v.toMap();
        const int number = Service::textOf(entry.value(QStringLiteral("chapter_number"))).toInt();
        auto* item = new QListWidgetItem(table_);
        item->setData(BookChatperCell::TitleRole, entry.value(QStringLiteral("title")));
        item->setData(BookChatperCell::DownStatusRole,
                      Service::textOf(entry.value(QStringLiteral("downstatus"))));
        item->setData(BookChatperCell::CurrentRole, number == currentChatperId);
        item->setData(Qt::UserRole, number); // the row's tag
        item->setSizeHint(QSize(table_->width(), BookChatperCell::kHeight));
    }
    for (int row = 0; row < table_->count(); ++row)
        if (table_->item(row)->data(BookChatperCell::CurrentRole).toBool())
            table_->scrollToItem(table_->item(row), QAbstractItemView::PositionAtCenter);
}

void BookChatperViewController::showNotice(const QString& text, const QString& image) {
    if (!notify_)
        notify_ = new NoticeView(this, 20);
    notify_->showBDK(text, image);
    notify_->raise();
    notify_->displayNotification();
}

void BookChatperViewController::getMenu() {
    tooles::showHUD(QStringLiteral("加载中..."), this);
    HttpRequest* request = Service::request(Service::menuUrl(bookid), this);
    request->setShouldContinueWhenAppEntersBackground(true);
    menuRequest_ = request;
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        tooles::removeHUD();
        const Service::Answer answer = Service::decode(r);
        if (answer.ok) {
            BookDb db;
            for (const QVariant& v : answer.dict.value(QStringLiteral("chapter_list")).toList()) {
                QVariantMap entry = v.toMap();
                if (entry.isEmpty())
                    continue;
                const int number =
                    Service::textOf(entry.value(QStringLiteral("chapter_number"))).toInt();
                entry.insert(QStringLiteral("downstatus"), db.isExistsInChapter(bookid, number)
                                                               ? QStringLiteral("1")
                                                               : QStringLiteral("0"));
                chapterList.append(entry);
            }
            db.insertChapterMenu(bookid, answer.dict);
        }
        reloadData();
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        tooles::removeHUD();
        showNotice(L("The network is not good"), QStringLiteral("read_refresh_no"));
    });
    request->startAsynchronous();
}

void BookChatperViewController::didSelectRow(int row) {
    QListWidgetItem* item = table_->item(row);
    if (!item)
        return;
    const int n = item->data(Qt::UserRole).toInt();
    if (item->data(BookChatperCell::DownStatusRole).toString() == QLatin1String("1")) {
        item->setData(BookChatperCell::TappedRole, true);
        const QString content =
            BookDb().selectChapterContent(bookid, n).value(QStringLiteral("content")).toString();
        table_->clearSelection();
        openAtStart(content, n);
        return;
    }
    table_->clearSelection();
    download(n);
}

void BookChatperViewController::openAtStart(const QString& content, int chapter) {
    if (!delegate)
        return;
    // A chapter chosen from the contents starts at its beginning: a position kept for its first
    // page at another type size would otherwise send the reader a page further on.
    ReadingPositions().forgetLastRead(bookid, chapter);
    delegate->pushToReadbookView(content, bookid, chapter, 1);
}

void BookChatperViewController::download(int n) {
    const int last = Service::textOf(BookDb().selectBookByBookid(bookid).value(
                                         QStringLiteral("last_chapter_number")))
                         .toInt();
    const QString chapters = ChapterPolicy::join(ChapterPolicy::tableOfContentsRun(n, last));
    tooles::showHUD(QString(), this);
    HttpRequest* request = Service::request(Service::getcontentUrl(bookid, chapters), this);
    request->setShouldContinueWhenAppEntersBackground(true);
    chapterRequest_ = request;
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        tooles::removeHUD();
        const Service::Answer answer = Service::decode(r);
        if (!answer.ok)
            return;
        const QVariant chapters = answer.dict.value(QStringLiteral("chapters"));
        if (chapters.isNull() || chapters.typeId() != QMetaType::QVariantList) {
            showNotice(QStringLiteral("服务器返回错误"), QStringLiteral("read_refresh_no"));
            return;
        }
        QVariantMap first;
        for (const QVariant& v : chapters.toList())
            if (!v.toMap().isEmpty()) {
                first = v.toMap();
                break;
            }
        const bool opened =
            BookDb().insertChapterAll(bookid, answer.dict, this, [this, first](bool ok) {
                if (!ok) {
                    showNotice(QStringLiteral("保存章节失败"), QStringLiteral("read_refresh_no"));
                    return;
                }
                showNotice(QStringLiteral("更新成功"), QStringLiteral("read_refresh_yes"));
                if (first.isEmpty())
                    return;
                openAtStart(first.value(QStringLiteral("content")).toString(),
                            Service::textOf(first.value(QStringLiteral("chapter_number"))).toInt());
            });
        if (!opened)
            showNotice(QStringLiteral("保存章节失败"), QStringLiteral("read_refresh_no"));
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        tooles::removeHUD();
        showNotice(L("The network is not good"), QStringLiteral("read_refresh_no"));
    });
    request->startAsynchronous();
}
