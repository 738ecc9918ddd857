#include "account/ReadRecordViewController.h"

#include "app/tooles.h"
#include "engines/HttpRequest.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/NoticeView.h"
#include "service/Endpoints.h"
#include "service/Service.h"

namespace {
ListPager recordPager() {
    ListPager pager({QStringLiteral("chapters")}, {QStringLiteral("count")});
    pager.setRefusal(QStringLiteral("没有更多记录"), true);
    return pager;
}
} // namespace

ReadRecordViewController::ReadRecordViewController(QWidget* parent)
    : MyBooksListViewController(recordPager(), parent) {
    setObjectName(QStringLiteral("ReadRecordViewController"));
}

ReadRecordViewController::~ReadRecordViewController() = default;

void ReadRecordViewController::viewDidLoad() {
    setTitle(L("My reading record"));
    btnDeleteAll = tooles::createButtonWithTitle(
        QStringLiteral("清除全部"), Qt::white, 13, this, [this](int tag) { action(tag); },
        QRect(0, 0, 70, 30), QStringLiteral("public_toolBg_Button"), QString(), TagDeleteAll, this);
    btnDeleteAll->hide();
    MyBooksListViewController::viewDidLoad();
}

QString ReadRecordViewController::listPath() const {
    return QString::fromLatin1(Endpoints::getreadlog);
}

QVariant ReadRecordViewController::itemFromAnswer(const QVariant& answerItem) const {
    // Each record carries its book; the rest of the record is not shown.
    const QVariant book = answerItem.toMap().value(QStringLiteral("book"));
    if (book.typeId() != QMetaType::QVariantMap)
        return {};
    return QVariant::fromValue(MyBookList::initWithDictionary(book.toMap()));
}

QString ReadRecordViewController::removalPath() const {
    return QString::fromLatin1(Endpoints::removeReadrecord);
}

void ReadRecordViewController::showEditButtons() {
    setHidesBackButton(true);
    setLeftBarButton(btnDeleteAll);
    setRightBarButton(btnConfirm);
}

void ReadRecordViewController::action(int tag) {
    if (tag == TagDeleteAll)
        deleteAll();
    else
        MyBooksListViewController::action(tag);
}

void ReadRecordViewController::deleteAll() {
    if (asiHttpRequest3 && !asiHttpRequest3->isFinished())
        return; // one clear-all at a time
    HttpRequest* request = serviceRequest(QString::fromLatin1(Endpoints::deleteReadRecord),
                                          {{QStringLiteral("book_id"), QStringLiteral("ALL")}});
    request->setDidFinish([this](HttpRequest* r) { deleteAllAnswered(r); });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        if (notify) {
            notify->showNetworkNotice();
            notify->displayNotification();
        }
    });
    asiHttpRequest3 = request;
    request->startAsynchronous();
}

void ReadRecordViewController::deleteAllAnswered(HttpRequest* request) {
    request->deleteLater();
    if (!Service::decode(request).ok)
        return; // refused: the records stay as they are
    restartPaging();
    resetUI();
    updateEditButton();
}
