#include "catalog/BookListPanel.h"

#include <QDebug>

#include "app/tooles.h"
#include "catalog/BookDetailViewController.h"
#include "engines/HttpRequest.h"
#include "platform/Localizable.h"
#include "platform/Timing.h"
#include "platform/ui/Button.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ViewController.h"
#include "service/Service.h"

BookListPanel::BookListPanel(ViewController* screen, const QRect& frame, const QString& endpoint,
                             RecommendCell::ThirdLine thirdLine)
    : QObject(screen), screen_(screen), endpoint_(endpoint), thirdLine_(thirdLine),
      table_(new PullingRefreshTableView(frame, this, screen)) {
    table_->setObjectName(QStringLiteral("bookListTable"));
    table_->setStyleSheet(
        QStringLiteral("QTableWidget { background: transparent; }"
                       "QTableWidget::item:selected { background: rgba(214, 160, 70, 90); }"));
    table_->viewport()->setAutoFillBackground(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setFocusPolicy(Qt::NoFocus);
    connect(table_, &QTableWidget::cellClicked, this, [this](int row, int) {
        // The row's highlight is the tap's answer only: the selection goes with it.
        if (table_)
            table_->clearSelection();
        openBook(row);
    });
}

BookListPanel::~BookListPanel() {
    if (table_)
        table_->setPullingDelegate(nullptr);
    if (asiHttpRequest_)
        asiHttpRequest_->clearDelegatesAndCancel();
}

void BookListPanel::setNotice(NoticeView* notice) {
    notice_ = notice;
}

RecommendCell* BookListPanel::cellAt(int row) const {
    return table_ ? qobject_cast<RecommendCell*>(table_->cellWidget(row, 0)) : nullptr;
}

void BookListPanel::startFirstLoad() {
    if (table_ && pager_.page() == 0 && !pager_.isLoading() && !pager_.isPending())
        table_->launchRefreshing();
}

void BookListPanel::loadNextPage(int delayMs) {
    if (pager_.pullUp())
        Timing::after(delayMs, this, [this] { getData(); });
}

void BookListPanel::pullingTableViewDidStartRefreshing(PullingRefreshTableView*) {
    if (pager_.pullDown())
        Timing::after(ListPager::kLoadDelayMs, this, [this] { getData(); });
}

void BookListPanel::pullingTableViewDidStartLoading(PullingRefreshTableView*) {
    loadNextPage(ListPager::kLoadDelayMs);
}

void BookListPanel::getData() {
    const auto next = pager_.getData();
    if (!next)
        return; // the page on its way finishes the loading
    if (next->restart)
        clearRows();
    if (asiHttpRequest_) {
        // Superseded by a pull-down: its answer would belong to the list just thrown away.
        asiHttpRequest_->clearDelegatesAndCancel();
        asiHttpRequest_->deleteLater();
    }
    QVariantMap params = params_ ? params_() : QVariantMap();
    params.insert(next->params());
    HttpRequest* request = Service::request(Service::signedUrl(endpoint_, params), this);
    asiHttpRequest_ = request;
    const quint64 ticket = next->ticket;
    request->setDidFinish([this, ticket](HttpRequest* r) {
        r->deleteLater();
        const Service::Answer answer = Service::decode(r);
        if (!answer.ok)
            qInfo().noquote() << "List" << endpoint_ << "refused:" << answer.msg;
        apply(pager_.answer(ticket, answer.dict, answer.ok));
    });
    request->setDidFail([this, ticket](HttpRequest* r) {
        r->deleteLater();
        qInfo().noquote() << "List" << endpoint_ << "failed:" << r->errorString();
        apply(pager_.failed(ticket));
    });
    request->startAsynchronous();
    if (onRequest_)
        onRequest_(next->page);
}

void BookListPanel::apply(const ListPager::Outcome& outcome) {
    if (!outcome.accepted || !table_)
        return;
    appendRows(outcome.items);
    if (outcome.finishLoading)
        table_->tableViewDidFinishedLoadingWithMessage(outcome.message);
    table_->setReachedTheEnd(outcome.reachedTheEnd);
    if (outcome.networkNotice && notice_)
        notice_->showNetworkNotice();
    // Last: the screen's own step may leave with the screen.
    if (onOutcome_)
        onOutcome_(outcome);
}

void BookListPanel::appendRows(const QVariantList& items) {
    if (items.isEmpty())
        return;
    const int first = table_->rowCount();
    table_->setUpdatesEnabled(false);
    table_->setRowCount(first + int(items.size()));
    int row = first;
    for (const QVariant& item : items) {
        if (item.typeId() != QMetaType::QVariantMap)
            qWarning() << "List" << endpoint_ << ": a book that is not an object is shown empty";
        const MyBookList book = MyBookList::initWithDictionary(item.toMap());
        books_.append(book);
        auto* cell = new RecommendCell();
        cell->setBook(book, thirdLine_);
        cell->setCoverTag(row);
        connect(cell, &RecommendCell::coverTapped, this, [this](int index) { openBook(index); });
        table_->setCellWidget(row, 0, cell);
        table_->setRowHeight(row, RecommendCell::kRowHeight);
        ++row;
    }
    table_->setUpdatesEnabled(true);
}

void BookListPanel::clearRows() {
    books_.clear();
    if (table_) {
        table_->clearContents();
        table_->setRowCount(0);
    }
}

void BookListPanel::openBook(int row) {
    if (row < 0 || row >= books_.size() || !screen_)
        return;
    BookDetailViewController::pushFrom(screen_, books_.at(row));
}

Button* BookListPanel::makeBackButton(ViewController* screen, int tag,
                                      std::function<void(int)> action) {
    Button* button = tooles::barButton(
        screen, QStringLiteral("btnBack"), QStringLiteral("public_toolBg_Button_back"), L("back"),
        tag, std::move(action), QSize(55, 32), QMargins(14, 0, 6, 0), QStringLiteral("Arial"));
    screen->setHidesBackButton(true);
    screen->setLeftBarButton(button);
    return button;
}
