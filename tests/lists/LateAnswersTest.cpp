// Answers that come late: for a page a pull-down has replaced, or for a screen that is gone.
#include <QPointer>

#include "account/MyMsgBoxCell.h"
#include "account/MyMsgboxViewController.h"
#include "account/ReadRecordViewController.h"
#include "platform/ui/Button.h"
#include "tests/lists/ListsFixture.h"
#include "widgets/PullLoadingView.h"

using namespace liststest;

namespace {

const QString kList = QStringLiteral("/msg/mymsg");
const QString kDelete = QStringLiteral("/msg/notice_delete");

QByteArray box(const QStringList& ids, int count) {
    QJsonArray data;
    for (const QString& id : ids)
        data.append(QJsonObject{
            {"id", id}, {"title", id}, {"content", id}, {"status", "0"}, {"send_time", "t"}});
    return QJsonDocument(QJsonObject{{"result", "ok"},
                                     {"msgs", QJsonObject{{"data", data},
                                                          {"count", QString::number(count)}}}})
        .toJson(QJsonDocument::Compact);
}

class LateAnswersTest : public ListsTest {};

} // namespace

TEST_F(LateAnswersTest, APageOnItsWayWhenAllRecordsAreClearedIsNotTaken) {
    const QString records = QStringLiteral("/data/getreadlog");
    // Page 1 answers at once; page 2 only after the clear-all went through.
    service.route("GET", records, [](const FakeService::Request& r) {
        QJsonArray chapters;
        const int page = r.queryValue("page").toInt();
        for (int id = (page - 1) * 11 + 1; id <= qMin(13, page * 11); ++id)
            chapters.append(QJsonObject{{"book", QJsonObject{{"book_id", id}, {"title", "b"}}}});
        FakeService::Reply reply = FakeService::Reply::json(
            QJsonDocument(QJsonObject{{"result", "ok"}, {"chapters", chapters}, {"count", 13}})
                .toJson(QJsonDocument::Compact));
        if (page == 2)
            reply.delayMs = 600;
        return reply;
    });
    routeJson(QStringLiteral("/site/delete_read_record"), R"({"result":"ok"})");
    auto* screen = open<ReadRecordViewController>(records);
    ASSERT_EQ(screen->itemCount(), 11);

    pullUp(screen->tableView());
    ASSERT_TRUE(waitUntil([&] { return service.requests(records).size() == 2; }));
    screen->action(ReadRecordViewController::TagDeleteAll);
    ASSERT_TRUE(waitUntil([&] { return screen->itemCount() == 0; }));
    testutil::spin(900); // the page on its way would have arrived by now
    EXPECT_EQ(screen->itemCount(), 0);
    EXPECT_EQ(screen->tableView()->rowCount(), 0);
    EXPECT_FALSE(screen->editButton()->isEnabled());
    EXPECT_FALSE(screen->tableView()->footerView()->loading()) << "the pull is over";
}

TEST_F(LateAnswersTest, LeavingTheScreenDropsItsPendingAnswers) {
    routeJson(kList, box({"1", "2"}, 2));
    FakeService::Reply slow = FakeService::Reply::json(R"({"result":"fail"})");
    slow.delayMs = 400;
    service.route("GET", kDelete, slow);
    QPointer<MyMsgboxViewController> screen = open<MyMsgboxViewController>(kList);
    ASSERT_EQ(screen->itemCount(), 2);

    screen->commitDeleteRow(0);
    ASSERT_TRUE(waitUntil([&] { return service.requests(kDelete).size() == 1; }));
    // A refused deletion would put the row back and show a notice: the screen is gone first.
    nav->popViewController(false);
    ASSERT_TRUE(waitUntil([&] { return screen.isNull(); }));
    testutil::spin(700);
    EXPECT_EQ(nav->topViewController(), root);
}
