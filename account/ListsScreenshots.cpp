#include "account/ListsScreenshots.h"

#include <QDateTime>
#include <QDebug>
#include <QLabel>

#include "account/EditableRowView.h"
#include "account/MemberScreenshots.h"
#include "account/MsgdetailViewController.h"
#include "account/MyFavoriteViewController.h"
#include "account/MyMsgBoxCell.h"
#include "account/MyMsgboxViewController.h"
#include "account/ReadRecordViewController.h"
#include "engines/HttpRequest.h"
#include "platform/Timing.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScreenshotWalk.h"
#include "service/Endpoints.h"
#include "service/Service.h"
#include "storage/UserStore.h"

namespace {

using Context = ScreenshotWalk::Context;

// Books the walk's reader reads and marks as favorites, from the sample catalog.
const QStringList kReadBooks = {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("5"),
                                QStringLiteral("8")};
const QStringList kFavoriteBooks = {QStringLiteral("5"), QStringLiteral("8"), QStringLiteral("1")};

// One signed call to the service, waited for.
Service::Answer callService(const QString& path, const QVariantMap& params) {
    QObject owner;
    HttpRequest* request = Service::request(Service::signedUrl(path, params), &owner);
    Service::Answer answer;
    request->setDidFinish([&answer](HttpRequest* r) { answer = Service::decode(r); });
    request->startSynchronous();
    return answer;
}

// The walk's reader (the one signed in earlier in the walk, else one of the lists' own), who
// has read and marked books through the service's own endpoints. False when the service would
// not have it.
bool readerReady() {
    static QString seededFor;
    if (UserStore::isSignedIn() && seededFor == UserStore::token())
        return true;
    if (!UserStore::isSignedIn() && !memberWalkSignIn())
        return false;
    const QString token = UserStore::token();
    for (const QString& book : kReadBooks) {
        if (!callService(QString::fromLatin1(Endpoints::readchapter),
                         {{QStringLiteral("book_id"), book},
                          {QStringLiteral("chapter"), QStringLiteral("1")},
                          {QStringLiteral("token"), token}})
                 .ok)
            return false;
    }
    for (const QString& book : kFavoriteBooks) {
        if (!callService(QString::fromLatin1(Endpoints::favouite),
                         {{QStringLiteral("book_id"), book},
                          {QStringLiteral("fav"), QStringLiteral("1")},
                          {QStringLiteral("token"), token}})
                 .ok)
            return false;
    }
    seededFor = token;
    return true;
}

// Pushes a list screen and waits for its first page; null when the reader could not be made.
template <class T> T* shownList(Context& ctx) {
    if (!readerReady()) {
        ctx.fail(QStringLiteral("no signed-in reader"));
        return nullptr;
    }
    auto* screen = new T();
    ctx.push(screen);
    for (int i = 0; i < 100 && screen->loadsEnded() == 0; ++i)
        ctx.settle(100);
    // The first page's header animation and the sliding message go by.
    ctx.settle(600);
    return screen;
}

template <class T> void filled(Context& ctx, int expected) {
    T* screen = shownList<T>(ctx);
    if (screen && screen->itemCount() < expected)
        ctx.fail(QStringLiteral("%1 rows, %2 expected").arg(screen->itemCount()).arg(expected));
}

template <class T> void editing(Context& ctx, bool revealOne) {
    T* screen = shownList<T>(ctx);
    if (!screen)
        return;
    if (screen->itemCount() == 0) {
        ctx.fail(QStringLiteral("empty list"));
        return;
    }
    screen->action(AccountListViewController::TagEdit);
    if (revealOne)
        if (EditableRowView* row = screen->rowView(0))
            row->setDeleteShown(true);
    ctx.settle(200);
}

// Refreshes an emptied list at real speed, so that the shot shows the list's end text sliding
// in at the top.
void refreshEmpty(Context& ctx, AccountListViewController* screen) {
    const double speed = Timing::speed();
    Timing::setSpeed(1);
    ctx.addCleanUp([speed] { Timing::setSpeed(speed); });
    const int ended = screen->loadsEnded();
    screen->tableView()->launchRefreshing();
    for (int i = 0; i < 50 && screen->loadsEnded() == ended; ++i)
        ctx.settle(100);
    ctx.settle(700);
    if (screen->itemCount() != 0)
        ctx.fail(QStringLiteral("the service still lists %1").arg(screen->itemCount()));
}

// Empties a list through its own rows' deletions.
template <class T> void emptied(Context& ctx) {
    T* screen = shownList<T>(ctx);
    if (!screen)
        return;
    while (screen->itemCount() > 0) {
        screen->commitDeleteRow(0);
        ctx.settle(300);
    }
    ctx.settle(300);
    refreshEmpty(ctx, screen);
}

} // namespace

void registerListsScreenshots() {
    ScreenshotWalk::add(QStringLiteral("lists_records"), 370, [](Context& ctx) {
        filled<ReadRecordViewController>(ctx, kReadBooks.size());
    });
    ScreenshotWalk::add(QStringLiteral("lists_records_edit"), 371,
                        [](Context& ctx) { editing<ReadRecordViewController>(ctx, false); });
    ScreenshotWalk::add(QStringLiteral("lists_favorites"), 372, [](Context& ctx) {
        filled<MyFavoriteViewController>(ctx, kFavoriteBooks.size());
    });
    ScreenshotWalk::add(QStringLiteral("lists_favorites_edit"), 373,
                        [](Context& ctx) { editing<MyFavoriteViewController>(ctx, true); });
    ScreenshotWalk::add(QStringLiteral("lists_msgbox_unread"), 374, [](Context& ctx) {
        auto* box = shownList<MyMsgboxViewController>(ctx);
        if (box && (box->itemCount() == 0 || !box->cell(0) || !box->cell(0)->isUnread()))
            ctx.fail(QStringLiteral("no unread message"));
    });
    ScreenshotWalk::add(QStringLiteral("lists_msgbox_edit"), 375,
                        [](Context& ctx) { editing<MyMsgboxViewController>(ctx, true); });
    ScreenshotWalk::add(QStringLiteral("lists_msg_detail"), 376, [](Context& ctx) {
        auto* box = shownList<MyMsgboxViewController>(ctx);
        if (!box || box->itemCount() == 0)
            return ctx.fail(QStringLiteral("no message"));
        box->didSelectRow(0);
        ctx.settle(400);
        auto* detail = qobject_cast<MsgdetailViewController*>(
            box->navigationController()->topViewController());
        if (!detail)
            return ctx.fail(QStringLiteral("the detail did not open"));
        ctx.require(!detail->labelTitle()->text().trimmed().isEmpty() &&
                        !detail->labelContent()->text().trimmed().isEmpty(),
                    QStringLiteral("the message's title or text is missing"));
    });
    ScreenshotWalk::add(QStringLiteral("lists_msgbox_read"), 377, [](Context& ctx) {
        // Opened in the step before: the service now gives it as read.
        auto* box = shownList<MyMsgboxViewController>(ctx);
        if (box && (box->itemCount() == 0 || !box->cell(0) || box->cell(0)->isUnread()))
            ctx.fail(QStringLiteral("the message is not read"));
    });
    ScreenshotWalk::add(QStringLiteral("lists_records_empty"), 378, [](Context& ctx) {
        auto* records = shownList<ReadRecordViewController>(ctx);
        if (!records)
            return;
        records->action(AccountListViewController::TagEdit);
        records->action(ReadRecordViewController::TagDeleteAll);
        for (int i = 0; i < 30 && records->itemCount() > 0; ++i)
            ctx.settle(100);
        ctx.settle(300);
        if (records->itemCount() != 0)
            return ctx.fail(QStringLiteral("records remain"));
        refreshEmpty(ctx, records);
    });
    ScreenshotWalk::add(QStringLiteral("lists_favorites_empty"), 379,
                        [](Context& ctx) { emptied<MyFavoriteViewController>(ctx); });
    ScreenshotWalk::add(QStringLiteral("lists_msgbox_empty"), 380,
                        [](Context& ctx) { emptied<MyMsgboxViewController>(ctx); });
}
