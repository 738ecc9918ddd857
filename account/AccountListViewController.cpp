#include "account/AccountListViewController.h"

#include <QDebug>
#include <QHeaderView>
#include <QPushButton>

#include "account/EditableRowView.h"
#include "account/MyInfoViewController.h"
#include "app/tooles.h"
#include "engines/HttpRequest.h"
#include "platform/Localizable.h"
#include "platform/Timing.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "service/Service.h"

namespace {
// The list lies on the content panel of the background, inside its margins.
constexpr int kPanelX = 5;
constexpr int kPanelY = 4;
constexpr int kListInset = 4;
} // namespace

AccountListViewController::AccountListViewController(ListPager pager, QWidget* parent)
    : ViewController(parent), pager_(std::move(pager)) {
    setHidesBottomBarWhenPushed(true);
}

AccountListViewController::~AccountListViewController() {
    // The table reports to this screen: forget it before the table outlives the delegate part.
    if (myTableView)
        myTableView->setPullingDelegate(nullptr);
}

void AccountListViewController::viewDidLoad() {
    background_ = tooles::bgView(true, false, this);
    background_->lower();

    myTableView = new PullingRefreshTableView(QRect(), this, this);
    myTableView->setStyleSheet(
        QStringLiteral("QTableWidget { background: transparent; border: none; }"
                       "QTableWidget::item { border: none; padding: 0; }"
                       "QTableWidget::item:selected { background: rgba(196, 150, 80, 60); }"));
    myTableView->viewport()->setAutoFillBackground(false);
    myTableView->verticalHeader()->setMinimumSectionSize(1);

    btnBack = tooles::barButton(this, QString(), QStringLiteral("public_toolBg_Button_back"),
                                L("back"), TagBack, [this](int tag) { action(tag); });

    btnEdit = tooles::createButtonWithTitle(
        L("edit"), Qt::white, 14, this, [this](int tag) { action(tag); }, QRect(0, 0, 52, 30),
        QStringLiteral("public_toolBg_Button"), QString(), TagEdit, this);

    btnConfirm = new Button(this);
    btnConfirm->setTag(TagConfirm);
    btnConfirm->setBackgroundImageNamed(QStringLiteral("public_toolBg_Button"), {},
                                        QMargins(6, 0, 6, 0));
    btnConfirm->setImageNamed(QStringLiteral("public_toolBg_Icon_confirm"));
    btnConfirm->resize(52, 30);
    btnConfirm->setAction(this, [this](int tag) { action(tag); });

    // Bar buttons wait hidden until the navigation bar takes them.
    for (Button* button : {btnBack, btnEdit, btnConfirm})
        button->hide();
    notify = new NoticeView(this, 20);

    resetUI();
    updateEditButton();
    resizeEvent(nullptr);
    if (pager_.page() == 0)
        myTableView->launchRefreshing();
}

void AccountListViewController::resizeEvent(QResizeEvent* event) {
    if (event)
        ViewController::resizeEvent(event);
    if (background_)
        background_->setGeometry(0, 0, width(), qMax(height(), Window::screenBounds().height()));
    if (myTableView) {
        const int panelHeight = Window::screenBounds().height() - 44 - 20 - 8;
        myTableView->setGeometry(kPanelX + kListInset, kPanelY + kListInset,
                                 width() - 2 * (kPanelX + kListInset),
                                 qMin(panelHeight, height() - kPanelY) - 2 * kListInset);
    }
}

void AccountListViewController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        nav->setNavigationBarTranslucent(false);
        nav->setNavigationBarHidden(false, animated);
        nav->setNavigationBarBackgroundImage(QStringLiteral("public_toolBg"));
    }
    if (notify)
        notify->hideNotice();
}

QVariant AccountListViewController::itemAt(int row) const {
    return row >= 0 && row < items_.size() ? items_.at(row).item : QVariant();
}

EditableRowView* AccountListViewController::rowView(int row) const {
    if (!myTableView || row < 0 || row >= myTableView->rowCount())
        return nullptr;
    return qobject_cast<EditableRowView*>(myTableView->cellWidget(row, 0));
}

QWidget* AccountListViewController::cellAt(int row) const {
    EditableRowView* r = rowView(row);
    return r ? r->cell() : nullptr;
}

// --- Buttons and edit mode

void AccountListViewController::action(int tag) {
    switch (tag) {
    case TagBack:
        popToMemberCenter();
        break;
    case TagEdit:
        showEditButtons();
        setEditing(true);
        break;
    case TagConfirm:
        resetUI();
        break;
    default:
        break;
    }
}

void AccountListViewController::popToMemberCenter() {
    NavigationController* nav = navigationController();
    if (!nav)
        return;
    // Opened from somewhere else (a test, the walk): back is one level.
    if (!nav->popToFirstOfClass<MyInfoViewController>())
        nav->popViewController();
}

void AccountListViewController::resetUI() {
    showBrowseButtons();
    setEditing(false);
}

void AccountListViewController::showBrowseButtons() {
    setHidesBackButton(true);
    setLeftBarButton(btnBack);
    setRightBarButton(btnEdit);
}

void AccountListViewController::showEditButtons() {
    setLeftBarButton(nullptr);
    setHidesBackButton(true);
    setRightBarButton(btnConfirm);
}

void AccountListViewController::setEditing(bool on) {
    editing_ = on;
    if (!myTableView)
        return;
    for (int row = 0; row < myTableView->rowCount(); ++row)
        if (EditableRowView* r = rowView(row))
            r->setEditing(on);
}

void AccountListViewController::updateEditButton() {
    if (btnEdit)
        btnEdit->setEnabled(!items_.isEmpty());
}

// --- Rows

EditableRowView* AccountListViewController::makeRow(int row, const Entry& entry) {
    QWidget* cell = makeCell(row, entry.item);
    auto* view = new EditableRowView(cell);
    view->setEditing(editing_);
    const quint64 order = entry.order;
    // Rows move when others go: each finds its current index by the order it arrived in.
    const auto indexOf = [this, order] {
        for (int i = 0; i < items_.size(); ++i)
            if (items_.at(i).order == order)
                return i;
        return -1;
    };
    view->onTap = [this, indexOf] {
        const int at = indexOf();
        if (at >= 0)
            didSelectRow(at);
    };
    view->onDelete = [this, indexOf] {
        const int at = indexOf();
        if (at >= 0)
            commitDeleteRow(at);
    };
    view->onDeleteShownChanged = [this, cell](bool shown) { deleteShownChanged(cell, shown); };
    return view;
}

void AccountListViewController::insertRow(int row, const Entry& entry) {
    myTableView->insertRow(row);
    myTableView->setRowHeight(row, rowHeight());
    myTableView->setItem(row, 0, new QTableWidgetItem());
    myTableView->setCellWidget(row, 0, makeRow(row, entry));
}

void AccountListViewController::reloadData() {
    if (!myTableView)
        return;
    myTableView->clearContents();
    myTableView->setRowCount(0);
    for (int row = 0; row < items_.size(); ++row)
        insertRow(row, items_.at(row));
}

void AccountListViewController::clearItems() {
    items_.clear();
    ++generation_;
    reloadData();
}

void AccountListViewController::restartPaging() {
    pager_.reset();
    if (asiHttpRequest) {
        asiHttpRequest->clearDelegatesAndCancel();
        asiHttpRequest->deleteLater();
    }
    if (myTableView) {
        myTableView->tableViewDidFinishedLoading();
        myTableView->setReachedTheEnd(false);
    }
    clearItems();
}

void AccountListViewController::replaceItem(int row, const QVariant& item) {
    if (row < 0 || row >= items_.size())
        return;
    items_[row].item = item;
}

void AccountListViewController::didSelectRow(int row) {
    if (myTableView)
        myTableView->clearSelection();
    if (editing_ || row < 0 || row >= items_.size())
        return;
    openRow(row);
}

void AccountListViewController::commitDeleteRow(int row) {
    if (row < 0 || row >= items_.size())
        return;
    const Entry entry = items_.takeAt(row);
    if (myTableView)
        myTableView->removeRow(row);
    updateEditButton();

    HttpRequest* request = serviceRequest(removalPath(), removalParams(entry.item));
    const quint64 generation = generation_;
    request->setDidFinish([this, entry, generation](HttpRequest* r) {
        r->deleteLater();
        removalAnswered(entry, generation, Service::decode(r).ok);
    });
    request->setDidFail([this, entry, generation](HttpRequest* r) {
        r->deleteLater();
        removalAnswered(entry, generation, false);
    });
    asiHttpRequest2 = request;
    request->startAsynchronous();
}

void AccountListViewController::removalAnswered(const Entry& entry, quint64 generation,
                                                bool confirmed) {
    if (confirmed)
        return;
    qWarning() << "Removal not confirmed by the service:" << removalPath();
    // After a refresh the list shows the service's own state again, which still holds the row.
    if (generation == generation_) {
        int at = 0;
        while (at < items_.size() && items_.at(at).order < entry.order)
            ++at;
        items_.insert(at, entry);
        if (myTableView)
            insertRow(at, entry);
        updateEditButton();
    }
    showNotice(QStringLiteral("删除失败"), QStringLiteral("read_refresh_no"));
}

void AccountListViewController::showNotice(const QString& text, const QString& imageName) {
    if (!notify)
        return;
    notify->showBDK(text, imageName);
    notify->displayNotification();
}

// --- Paging

void AccountListViewController::pullingTableViewDidStartRefreshing(PullingRefreshTableView*) {
    if (pager_.pullDown())
        Timing::after(ListPager::kLoadDelayMs, this, [this] { getData(); });
}

void AccountListViewController::pullingTableViewDidStartLoading(PullingRefreshTableView*) {
    if (pager_.pullUp())
        Timing::after(ListPager::kLoadDelayMs, this, [this] { getData(); });
}

HttpRequest* AccountListViewController::serviceRequest(const QString& path, QVariantMap params) {
    Service::addToken(params);
    return Service::request(Service::signedUrl(path, params), this);
}

void AccountListViewController::getData() {
    const std::optional<ListPager::Request> next = pager_.getData();
    if (!next)
        return;
    if (next->restart)
        clearItems();
    if (asiHttpRequest) {
        // Superseded by a pull-down: its answer belongs to the list just thrown away.
        asiHttpRequest->clearDelegatesAndCancel();
        asiHttpRequest->deleteLater();
    }
    HttpRequest* request = serviceRequest(listPath(), next->params());
    const quint64 ticket = next->ticket;
    request->setDidFinish([this, ticket](HttpRequest* r) { pageArrived(r, ticket); });
    request->setDidFail([this, ticket](HttpRequest*) { pageFailed(ticket); });
    asiHttpRequest = request;
    request->startAsynchronous();
}

void AccountListViewController::pageArrived(HttpRequest* request, quint64 ticket) {
    const Service::Answer answer = Service::decode(request);
    apply(pager_.answer(ticket, answer.dict, answer.ok));
}

void AccountListViewController::pageFailed(quint64 ticket) {
    apply(pager_.failed(ticket));
}

void AccountListViewController::apply(const ListPager::Outcome& outcome) {
    if (!outcome.accepted || !myTableView)
        return;
    ++loadsEnded_;
    for (const QVariant& answerItem : outcome.items) {
        const QVariant item = itemFromAnswer(answerItem);
        if (!item.isValid())
            continue;
        const Entry entry{nextOrder_++, item};
        items_.append(entry);
        insertRow(int(items_.size()) - 1, entry);
    }
    if (outcome.finishLoading) {
        lastMessage_ = outcome.message;
        myTableView->tableViewDidFinishedLoadingWithMessage(outcome.message);
    }
    myTableView->setReachedTheEnd(outcome.reachedTheEnd);
    if (outcome.networkNotice && notify) {
        notify->showNetworkNotice();
        notify->displayNotification();
    }
    updateEditButton();
}

QString AccountListViewController::decimalId(const QVariant& id) {
    const QString text = Service::textOf(id).trimmed();
    bool ok = false;
    const qlonglong whole = text.toLongLong(&ok);
    if (ok)
        return QString::number(whole);
    const double number = text.toDouble(&ok);
    if (ok)
        return QString::number(qlonglong(number));
    return text;
}
