#include "account/MyMsgboxViewController.h"

#include <QPushButton>

#include "account/EditableRowView.h"
#include "account/MsgdetailViewController.h"
#include "account/MyMsgBoxCell.h"
#include "engines/HttpRequest.h"
#include "platform/Localizable.h"
#include "platform/ui/NavigationController.h"
#include "service/Endpoints.h"
#include "service/Service.h"

namespace {
ListPager messagePager() {
    ListPager pager({QStringLiteral("msgs"), QStringLiteral("data")},
                    {QStringLiteral("msgs"), QStringLiteral("count")});
    pager.setRefusal(QStringLiteral("没有更多消息"), true);
    return pager;
}
} // namespace

MyMsgboxViewController::MyMsgboxViewController(QWidget* parent)
    : AccountListViewController(messagePager(), parent) {
    setObjectName(QStringLiteral("MyMsgboxViewController"));
}

MyMsgboxViewController::~MyMsgboxViewController() = default;

void MyMsgboxViewController::viewDidLoad() {
    setTitle(L("My message box"));
    AccountListViewController::viewDidLoad();
}

QVariantList MyMsgboxViewController::myMsgList() const {
    QVariantList list;
    for (int i = 0; i < itemCount(); ++i)
        list << itemAt(i);
    return list;
}

MyMsgBoxCell* MyMsgboxViewController::cell(int row) const {
    return qobject_cast<MyMsgBoxCell*>(cellAt(row));
}

QString MyMsgboxViewController::listPath() const {
    return QString::fromLatin1(Endpoints::mymsg);
}

int MyMsgboxViewController::rowHeight() const {
    return MyMsgBoxCell::kRowHeight;
}

QVariant MyMsgboxViewController::itemFromAnswer(const QVariant& answerItem) const {
    if (answerItem.typeId() != QMetaType::QVariantMap)
        return {};
    return answerItem;
}

QWidget* MyMsgboxViewController::makeCell(int, const QVariant& item) {
    auto* cell = new MyMsgBoxCell();
    cell->setMessage(item.toMap());
    return cell;
}

QString MyMsgboxViewController::removalPath() const {
    return QString::fromLatin1(Endpoints::noticeDelete);
}

QVariantMap MyMsgboxViewController::removalParams(const QVariant& item) const {
    return {{QStringLiteral("check_mail"), decimalId(item.toMap().value(QStringLiteral("id")))}};
}

void MyMsgboxViewController::openRow(int row) {
    QVariantMap message = itemAt(row).toMap();
    // Drawn read at once, and held as read, so that it stays read when redrawn.
    if (MyMsgBoxCell* c = cell(row))
        c->setUnread(false);
    message.insert(QStringLiteral("status"), QStringLiteral("1"));
    replaceItem(row, message);

    auto* detail = new MsgdetailViewController();
    detail->data_title = Service::textOf(message.value(QStringLiteral("title")));
    detail->data_time = Service::textOf(message.value(QStringLiteral("send_time")));
    detail->data_content = Service::textOf(message.value(QStringLiteral("content")));
    if (NavigationController* nav = navigationController())
        nav->pushViewController(detail, true);
    else
        delete detail;

    // Its outcome is not shown: the next refresh brings the service's own status.
    HttpRequest* request = serviceRequest(
        QString::fromLatin1(Endpoints::noticeRead),
        {{QStringLiteral("check_mail"), decimalId(message.value(QStringLiteral("id")))}});
    request->setDidFinish([](HttpRequest* r) { r->deleteLater(); });
    request->setDidFail([](HttpRequest* r) { r->deleteLater(); });
    asiHttpRequest3 = request;
    request->startAsynchronous();
}

void MyMsgboxViewController::deleteShownChanged(QWidget* cell, bool shown) {
    auto* c = qobject_cast<MyMsgBoxCell*>(cell);
    auto* row = qobject_cast<EditableRowView*>(cell->parentWidget());
    if (c && row)
        c->setNarrowed(shown, row->deleteButton()->x() - c->x());
}
