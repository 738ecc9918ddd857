#include "reader/BookMarkViewController.h"

#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include "app/tooles.h"
#include "platform/Images.h"
#include "platform/ui/Window.h"
#include "reader/BookChapterAndMarkViewController.h"
#include "reader/BookMarkCell.h"
#include "reader/ContentsTable.h"
#include "storage/BookDb.h"
#include "storage/ReadingPositions.h"

BookMarkViewController::BookMarkViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("BookMarkViewController"));
    // The pane lies on the screen's panel; its rows and hint are drawn straight onto it.
    setAutoFillBackground(false);
}

BookMarkViewController::~BookMarkViewController() = default;

void BookMarkViewController::viewDidLoad() {
    const QRect screen = Window::screenBounds();
    markList = BookDb().selectAllMarkByBookId(bookid);
    if (markList.isEmpty()) {
        showEmptyState();
        return;
    }
    table_ = ContentsTable::create(this, QStringLiteral("bookmarkTable"), new BookMarkCell,
                                   QRect(0, 0, screen.width() - 16, height()));
    table_->viewport()->installEventFilter(this);
    for (const QVariant& v : markList) {
        const QVariantMap mark = v.toMap();
        auto* item = new QListWidgetItem(table_);
        item->setData(BookMarkCell::TitleRole, mark.value(QStringLiteral("title")));
        item->setData(BookMarkCell::TimeRole,
                      tooles::intTimeToStr(mark.value(QStringLiteral("create_time")).toString()));
        item->setSizeHint(QSize(table_->width(), BookMarkCell::kHeight));
    }
    connect(table_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (deleteRow_ >= 0) {
            offerDelete(-1);
            return;
        }
        didSelectRow(table_->row(item));
    });

    delete_ = new QPushButton(QStringLiteral("删除"), table_->viewport());
    delete_->setObjectName(QStringLiteral("deleteBookmarkButton"));
    delete_->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; background-color: rgb(220, 50, 40); border: none; }"));
    delete_->hide();
    connect(delete_, &QPushButton::clicked, this, [this] {
        const int row = deleteRow_;
        offerDelete(-1);
        commitDeleteRow(row);
    });
}

void BookMarkViewController::buildEmptyView() {
    const QRect screen = Window::screenBounds();
    empty_ = new QWidget(this);
    empty_->setObjectName(QStringLiteral("bookmarkEmptyView"));
    empty_->setGeometry(0, 0, screen.width() - 16, height());
    auto* line = new QLabel(QStringLiteral("还未添加书签？"), empty_);
    line->setObjectName(QStringLiteral("bookmarkEmptyTitle"));
    QFont f1(QStringLiteral("Helvetica"));
    f1.setBold(true);
    f1.setItalic(true);
    f1.setPixelSize(20);
    line->setFont(f1);
    line->setAlignment(Qt::AlignCenter);
    line->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
    line->setGeometry(0, 20, empty_->width(), 26);
    auto* hint =
        new QLabel(QStringLiteral("阅读过程中，您可轻按     给正文添加书签来进行标记。"), empty_);
    hint->setObjectName(QStringLiteral("bookmarkEmptyHint"));
    QFont f2(QStringLiteral("Helvetica"));
    f2.setBold(true);
    f2.setPixelSize(18);
    hint->setFont(f2);
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint->setStyleSheet(QStringLiteral("color: gray; background: transparent;"));
    hint->setGeometry(15, 50, screen.width() - 46, 90);
    auto* picture = new QLabel(empty_);
    const QPixmap button = Images::named(QStringLiteral("read_bookmark_nodata"));
    picture->setPixmap(button);
    picture->move(200, 52);
    picture->resize(button.isNull() ? QSize(24, 24) : button.deviceIndependentSize().toSize());
}

void BookMarkViewController::showEmptyState() {
    if (table_)
        table_->hide();
    if (!empty_)
        buildEmptyView();
    empty_->show();
}

void BookMarkViewController::didSelectRow(int row) {
    if (row < 0 || row >= markList.size())
        return;
    const QVariantMap mark = markList.at(row).toMap();
    const int chapter = mark.value(QStringLiteral("chapter_id")).toString().toInt();
    const int page = mark.value(QStringLiteral("page_id")).toString().toInt();
    const QString content =
        BookDb().selectChapterContent(bookid, chapter).value(QStringLiteral("content")).toString();
    table_->clearSelection();
    if (!delegate)
        return;
    // The reader opens at the last-read record written for the bookmark's page; the
    // bookmark's character goes with it, so the bookmarked sentence shows at any type size.
    ReadingPositions positions;
    positions.saveLastRead(bookid, chapter, std::max(1, page),
                           positions.markOffset(bookid, chapter, std::max(1, page)));
    delegate->pushToReadbookView(content, bookid, chapter, std::max(1, page));
}

void BookMarkViewController::commitDeleteRow(int row) {
    if (row < 0 || row >= markList.size())
        return;
    const QVariantMap mark = markList.at(row).toMap();
    QVariantMap key;
    key.insert(QStringLiteral("book_id"), bookid);
    key.insert(QStringLiteral("chapter_id"), mark.value(QStringLiteral("chapter_id")));
    key.insert(QStringLiteral("page_id"), mark.value(QStringLiteral("page_id")));
    if (!BookDb().deleteMark(key))
        return;
    markList.removeAt(row);
    delete table_->takeItem(row);
    if (markList.isEmpty())
        showEmptyState();
}

void BookMarkViewController::offerDelete(int row) {
    deleteRow_ = row;
    if (!delete_)
        return;
    if (row < 0) {
        delete_->hide();
        return;
    }
    const QRect r = table_->visualItemRect(table_->item(row));
    delete_->setGeometry(r.right() - 70, r.y() + 8, 64, r.height() - 16);
    delete_->show();
    delete_->raise();
}

bool BookMarkViewController::eventFilter(QObject* watched, QEvent* event) {
    if (table_ && watched == table_->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            pressAt_ = static_cast<QMouseEvent*>(event)->position().toPoint();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            const QPoint d = at - pressAt_;
            if (d.x() < -40 && std::abs(d.x()) > 2 * std::abs(d.y())) {
                const QListWidgetItem* item = table_->itemAt(pressAt_);
                offerDelete(item ? table_->row(item) : -1);
                return true;
            }
        }
    }
    return ViewController::eventFilter(watched, event);
}
