#include "catalog/FifthViewController.h"

#include <QDebug>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QtConcurrent/QtConcurrentRun>

#include "app/tooles.h"
#include "catalog/SearchDetailViewController.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "storage/BookDb.h"

namespace {
constexpr int kBarHeight = 44;

QFont arial(int pixels, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
} // namespace

FifthViewController::FifthViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("FifthViewController"));
    setTitle(L("Looking for books"));
}

FifthViewController::~FifthViewController() = default;

QLineEdit* FifthViewController::searchBar() const {
    return searchBar_;
}

Button* FifthViewController::cancelButton() const {
    return cancel_;
}

QTableWidget* FifthViewController::tableView() const {
    return tableView_;
}

QLabel* FifthViewController::noSearchRecordsView() const {
    return noSearchRecordsView_;
}

NoticeView* FifthViewController::notice() const {
    return notify_;
}

void FifthViewController::viewDidLoad() {
    tooles::bgView(true, true, this)->lower();
    if (auto* nav = navigationController())
        nav->setNavigationBarBackgroundImage(QStringLiteral("public_toolBg"));
    const QRect bounds = Window::screenBounds();
    const int viewHeight = bounds.height() - 20 - 44 - 49;

    // The search bar: the field, and the cancel button while editing.
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("searchBarBackground"));
    bar->setGeometry(0, 0, bounds.width(), kBarHeight);
    bar->setStyleSheet(QStringLiteral("#searchBarBackground { background: rgb(226, 214, 192); }"));
    bar->setAttribute(Qt::WA_StyledBackground);
    searchBar_ = new QLineEdit(bar);
    searchBar_->setObjectName(QStringLiteral("searchBar"));
    searchBar_->setPlaceholderText(L("Search title, author, etc."));
    searchBar_->setFont(arial(15));
    searchBar_->setClearButtonEnabled(true);
    searchBar_->setInputMethodHints(Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase);
    searchBar_->setStyleSheet(QStringLiteral(
        "QLineEdit { background: white; border: 1px solid rgb(190, 170, 140); border-radius: 14px;"
        " padding: 0 10px; color: rgb(51, 51, 51); }"));
    searchBar_->setGeometry(8, 7, bounds.width() - 16, 30);
    searchBar_->installEventFilter(this);
    connect(searchBar_, &QLineEdit::returnPressed, this,
            &FifthViewController::searchBarSearchButtonClicked);
    cancel_ = new Button(bar);
    cancel_->setObjectName(QStringLiteral("cancelButton"));
    cancel_->setBackgroundImageNamed(QStringLiteral("search_cancel"));
    cancel_->setText(L("cancel"));
    cancel_->setTitleColor(Qt::white);
    cancel_->setFont(arial(14));
    cancel_->setGeometry(bounds.width() - 8 - 58, 7, 58, 29);
    cancel_->setAction(this, [this](int) { searchBarCancelButtonClicked(); });
    cancel_->hide();

    listHeight_ = viewHeight - kBarHeight - 8;
    tableView_ = new QTableWidget(this);
    tableView_->setObjectName(QStringLiteral("historyTable"));
    tableView_->setGeometry(6, kBarHeight + 4, bounds.width() - 12, listHeight_);
    tableView_->setColumnCount(1);
    tableView_->horizontalHeader()->hide();
    tableView_->horizontalHeader()->setStretchLastSection(true);
    tableView_->verticalHeader()->hide();
    tableView_->setShowGrid(false);
    tableView_->setFrameShape(QFrame::NoFrame);
    tableView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView_->setSelectionMode(QAbstractItemView::SingleSelection);
    tableView_->setFocusPolicy(Qt::NoFocus);
    tableView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tableView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tableView_->setStyleSheet(QStringLiteral(
        "QTableWidget { background: transparent; color: rgb(60, 44, 30); }"
        "QTableWidget::item { border-bottom: 1px solid rgba(120, 90, 60, 50); padding-left: 12px; }"
        "QTableWidget::item:selected { background: rgba(214, 160, 70, 90); color: rgb(60, 44, 30); "
        "}"));
    tableView_->viewport()->setAutoFillBackground(false);
    tableView_->viewport()->installEventFilter(this);
    GestureRecognizer::scrollLikeAFinger(tableView_);
    connect(tableView_, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (deleteRow_ >= 0) {
            offerDelete(-1);
            return;
        }
        didSelectRow(row);
    });

    delete_ = new QPushButton(QStringLiteral("删除"), tableView_->viewport());
    delete_->setObjectName(QStringLiteral("deleteHistoryButton"));
    delete_->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; background-color: rgb(200, 60, 40); border: none; }"));
    delete_->hide();
    connect(delete_, &QPushButton::clicked, this, [this] {
        const int row = deleteRow_;
        offerDelete(-1);
        commitDeleteRow(row);
    });

    noSearchRecordsView_ = new QLabel(QStringLiteral("点击软键盘中的搜索键进行搜索"), this);
    noSearchRecordsView_->setObjectName(QStringLiteral("noSearchRecordsView"));
    noSearchRecordsView_->setFont(arial(20, true));
    noSearchRecordsView_->setStyleSheet(QStringLiteral("color: gray;"));
    noSearchRecordsView_->setAlignment(Qt::AlignCenter);
    noSearchRecordsView_->setWordWrap(true);
    // Ten characters to a line: the hint breaks after "搜索键".
    noSearchRecordsView_->setGeometry((bounds.width() - 210) / 2, kBarHeight + 30, 210, 70);
    noSearchRecordsView_->hide();

    notify_ = new NoticeView(this, 20);
    notify_->setObjectName(QStringLiteral("notify"));
}

void FifthViewController::viewWillAppear(bool) {
    if (notify_)
        notify_->hideNotice();
    searchResultList = BookDb().selectAllSearchRecords();
    setListShortened(false);
    showHistoryOrHint();
    reloadTable();
}

void FifthViewController::showHistoryOrHint() {
    const bool empty = searchResultList.isEmpty();
    if (tableView_)
        tableView_->setVisible(!empty);
    if (noSearchRecordsView_)
        noSearchRecordsView_->setVisible(empty);
}

void FifthViewController::reloadTable() {
    if (!tableView_)
        return;
    offerDelete(-1);
    tableView_->clearContents();
    tableView_->setRowCount(int(searchResultList.size()) + 1);
    for (int i = 0; i < searchResultList.size(); ++i) {
        auto* item = new QTableWidgetItem(searchResultList.at(i));
        item->setFont(arial(16));
        tableView_->setItem(i, 0, item);
        tableView_->setRowHeight(i, kRowHeight);
    }
    const int last = int(searchResultList.size());
    auto* clear = new QTableWidgetItem(L("Clear search history"));
    clear->setFont(arial(14));
    clear->setForeground(QColor(128, 128, 128));
    clear->setTextAlignment(Qt::AlignCenter);
    // Touching it does not highlight it.
    clear->setFlags(Qt::ItemIsEnabled);
    tableView_->setItem(last, 0, clear);
    tableView_->setRowHeight(last, kRowHeight);
}

void FifthViewController::setListShortened(bool shortened) {
    if (!tableView_)
        return;
    QRect r = tableView_->geometry();
    r.setHeight(shortened ? qMax(0, listHeight_ - kKeyboardHeight) : listHeight_);
    tableView_->setGeometry(r);
}

void FifthViewController::searchBarTextDidBeginEditing() {
    if (!cancel_ || !searchBar_)
        return;
    cancel_->show();
    QRect field = searchBar_->geometry();
    field.setRight(cancel_->x() - 6);
    searchBar_->setGeometry(field);
    setListShortened(true);
}

void FifthViewController::searchBarCancelButtonClicked() {
    if (searchBar_) {
        searchBar_->clearFocus();
        QRect field = searchBar_->geometry();
        field.setRight(Window::screenBounds().width() - 8 - 1);
        searchBar_->setGeometry(field);
    }
    if (cancel_)
        cancel_->hide();
    setListShortened(false);
}

void FifthViewController::searchBarSearchButtonClicked() {
    if (!searchBar_)
        return;
    searchBarCancelButtonClicked();
    const QString keyword = tooles::strTrim(searchBar_->text());
    if (keyword.isEmpty())
        return;
    BookDb().saveSearchRecords(keyword);
    openResults(keyword);
}

void FifthViewController::didSelectRow(int row) {
    if (row == searchResultList.size()) {
        clearHistory();
        return;
    }
    if (row < 0 || row > searchResultList.size())
        return;
    if (tableView_)
        tableView_->clearSelection();
    const QString keyword = searchResultList.at(row);
    BookDb().saveSearchRecords(keyword); // first again at the next appearance
    openResults(keyword);
}

void FifthViewController::openResults(const QString& keyword) {
    auto* nav = navigationController();
    if (!nav)
        return;
    auto* results = new SearchDetailViewController();
    results->searchStr = keyword;
    nav->pushViewController(results, true);
}

void FifthViewController::clearHistory() {
    if (clearing_)
        return;
    clearing_ = true;
    // The database work runs off the main thread; the list and the notice change back here.
    enum class Result { Empty, Cleared, Failed };
    QPointer<FifthViewController> self(this);
    auto future = QtConcurrent::run([] {
        BookDb db;
        if (!db.isExistsSearchRecords())
            return Result::Empty;
        return db.deleteAllSearchRecord() ? Result::Cleared : Result::Failed;
    });
    auto* watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcher<Result>::finished, this, [this, watcher] {
        const Result result = watcher->result();
        watcher->deleteLater();
        clearing_ = false;
        switch (result) {
        case Result::Empty:
            showNotice(L("The record is empty"), QStringLiteral("read_refresh_no"));
            return;
        case Result::Cleared:
            searchResultList.clear();
            reloadTable();
            showHistoryOrHint();
            showNotice(L("Clear record of success"), QStringLiteral("read_refresh_yes"));
            return;
        case Result::Failed:
            showNotice(L("Failed to clear record"), QStringLiteral("read_refresh_no"));
            return;
        }
    });
    watcher->setFuture(future);
}

void FifthViewController::commitDeleteRow(int row) {
    if (row < 0 || row >= searchResultList.size())
        return;
    const QString keyword = searchResultList.takeAt(row);
    if (tableView_)
        tableView_->removeRow(row);
    if (!BookDb().deleteSearchRecord(keyword))
        qWarning() << "Search history: could not delete an entry";
    if (searchResultList.isEmpty())
        showHistoryOrHint();
}

void FifthViewController::showNotice(const QString& text, const QString& imageName) {
    if (!notify_)
        return;
    notify_->showBDK(text, imageName);
    notify_->displayNotification();
}

void FifthViewController::offerDelete(int row) {
    deleteRow_ = row;
    if (!delete_)
        return;
    if (row < 0 || !tableView_) {
        delete_->hide();
        return;
    }
    const QRect r = tableView_->visualRect(tableView_->model()->index(row, 0));
    delete_->setGeometry(r.right() - 70, r.y() + 7, 64, r.height() - 14);
    delete_->show();
    delete_->raise();
}

bool FifthViewController::eventFilter(QObject* watched, QEvent* event) {
    if (searchBar_ && watched == searchBar_ && event->type() == QEvent::FocusIn) {
        searchBarTextDidBeginEditing();
    } else if (tableView_ && watched == tableView_->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            pressAt_ = static_cast<QMouseEvent*>(event)->position().toPoint();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const QPoint d = static_cast<QMouseEvent*>(event)->position().toPoint() - pressAt_;
            if (d.x() < -40 && std::abs(d.x()) > 2 * std::abs(d.y())) {
                const int row = tableView_->rowAt(pressAt_.y());
                // The clear row cannot be deleted.
                offerDelete(row >= 0 && row < searchResultList.size() ? row : -1);
                return true;
            }
        }
    }
    return ViewController::eventFilter(watched, event);
}
