// The message box and a message's detail, against the fake service.
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include "account/MsgdetailViewController.h"
#include "account/MyMsgBoxCell.h"
#include "account/MyMsgboxViewController.h"
#include "platform/ui/ImageView.h"
#include "tests/lists/ListsFixture.h"

using namespace liststest;

namespace {

const QString kList = QStringLiteral("/msg/mymsg");
const QString kRead = QStringLiteral("/msg/notice_read");
const QString kDelete = QStringLiteral("/msg/notice_delete");

QJsonObject message(int id, const QString& status) {
    return {{"id", QString::number(id)},
            {"title", QStringLiteral("消息 %1").arg(id)},
            {"content", QStringLiteral("第 %1 条消息的内容").arg(id)},
            {"status", status},
            {"send_time", "2026-12-01 08:00:00"}};
}

// Page n of a box of total messages, ids counted from 1; count sent as text.
QJsonObject boxPage(int n, int total, const QString& status = QStringLiteral("0")) {
    QJsonArray data;
    for (int id = (n - 1) * 11 + 1; id <= qMin(total, n * 11); ++id)
        data.append(message(id, status));
    return {{"result", "ok"},
            {"msgs", QJsonObject{{"data", data}, {"count", QString::number(total)}}}};
}

QList<int> heldIds(const MyMsgboxViewController* box) {
    QList<int> ids;
    for (const QVariant& m : box->myMsgList())
        ids << m.toMap().value("id").toInt();
    return ids;
}

class MessageBoxTest : public ListsTest {};

} // namespace

TEST_F(MessageBoxTest, CountAsTextPagesTheBoxAndAPageBeyondEndsIt) {
    routePages(kList, [](int n) { return boxPage(n, 12); });
    auto* box = open<MyMsgboxViewController>(kList);
    const FakeService::Request first = service.requests(kList).first();
    EXPECT_EQ(first.queryValue("limit"), "11");
    EXPECT_EQ(first.queryValue("token"), kToken);
    EXPECT_EQ(box->itemCount(), 11);
    EXPECT_FALSE(box->tableView()->reachedTheEnd());

    pullUp(box->tableView());
    ASSERT_TRUE(settled(box, kList, 2));
    EXPECT_EQ(heldIds(box).size(), 12);
    EXPECT_EQ(heldIds(box).last(), 12);
    EXPECT_EQ(box->lastMessage(), QString());
    EXPECT_FALSE(box->tableView()->reachedTheEnd());

    pullUp(box->tableView());
    ASSERT_TRUE(settled(box, kList, 3));
    EXPECT_EQ(pagesAsked(kList), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(box->itemCount(), 12);
    EXPECT_EQ(box->lastMessage(), QStringLiteral("没有了"));
    EXPECT_TRUE(box->tableView()->reachedTheEnd());
    EXPECT_EQ(box->tableView()->rowCount(), 12);
}

TEST_F(MessageBoxTest, AnswersWithoutCountOrRefusedEndTheBox) {
    routeJson(kList, R"({"result":"ok","msgs":{"data":[{"id":"3","title":"t","content":"c",)"
                     R"("status":"0","send_time":"x"}]}})");
    auto* box = open<MyMsgboxViewController>(kList);
    EXPECT_EQ(heldIds(box), QList<int>{3}) << "the page is still shown";
    EXPECT_EQ(box->lastMessage(), QStringLiteral("没有了"));
    EXPECT_TRUE(box->tableView()->reachedTheEnd());
    EXPECT_TRUE(box->editButton()->isEnabled());

    routeJson(kList, R"({"result":"fail","msg":"busy"})");
    pullDown(box->tableView());
    ASSERT_TRUE(settled(box, kList, 2));
    EXPECT_EQ(box->lastMessage(), QStringLiteral("没有更多消息"));
    EXPECT_TRUE(box->tableView()->reachedTheEnd());
    EXPECT_EQ(box->itemCount(), 0) << "a pull-down starts the list again";
    EXPECT_FALSE(box->editButton()->isEnabled());
}

TEST_F(MessageBoxTest, UnreadRowsShowTheDotAndDarkTextReadRowsNeither) {
    routeJson(kList, R"({"result":"ok","msgs":{"count":"3","data":[)"
                     R"({"id":1,"title":"a","content":"x","status":"0","send_time":"t"},)"
                     R"({"id":2,"title":"b","content":"y","status":"1","send_time":"t"},)"
                     R"({"id":3,"title":"c","content":"z","status":"2","send_time":"t"}]}})");
    auto* box = open<MyMsgboxViewController>(kList);
    ASSERT_EQ(box->itemCount(), 3);
    const QList<bool> dots = {true, false, false};
    for (int row = 0; row < 3; ++row) {
        MyMsgBoxCell* cell = box->cell(row);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(!cell->leftIcon()->pixmap().isNull(), dots[row]) << row;
        const QColor want = dots[row] ? MyMsgBoxCell::unreadColor() : MyMsgBoxCell::readColor();
        EXPECT_EQ(cell->title()->palette().color(QPalette::WindowText), want) << row;
        EXPECT_EQ(cell->contentIntro()->palette().color(QPalette::WindowText), want) << row;
        EXPECT_EQ(cell->tag(), row + 1);
    }

    // Title and intro make room for the delete button while it shows, in edit mode too.
    box->action(AccountListViewController::TagEdit);
    EditableRowView* row = box->rowView(0);
    MyMsgBoxCell* cell = box->cell(0);
    const int full = cell->title()->width();
    row->setDeleteShown(true);
    EXPECT_LE(cell->title()->width(), 220);
    EXPECT_EQ(cell->contentIntro()->width(), cell->title()->width());
    EXPECT_LT(cell->title()->mapTo(row, QPoint(cell->title()->width(), 0)).x(),
              row->deleteButton()->x());
    row->setDeleteShown(false);
    EXPECT_EQ(cell->title()->width(), full);
}

TEST_F(MessageBoxTest, OpeningAMessageShowsItMarksItReadAndEditModeOpensNothing) {
    routePages(kList, [](int n) { return boxPage(n, 2); });
    routeJson(kRead, R"({"result":"ok"})");
    auto* box = open<MyMsgboxViewController>(kList);
    ASSERT_EQ(box->itemCount(), 2);

    box->action(AccountListViewController::TagEdit);
    box->didSelectRow(1);
    testutil::spin(200);
    EXPECT_EQ(nav->topViewController(), box);
    EXPECT_TRUE(service.requests(kRead).isEmpty());
    EXPECT_TRUE(box->cell(1)->isUnread());
    box->action(AccountListViewController::TagConfirm);

    box->didSelectRow(1);
    auto* detail = qobject_cast<MsgdetailViewController*>(nav->topViewController());
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->data_title, QStringLiteral("消息 2"));
    EXPECT_EQ(detail->data_time, QStringLiteral("2026-12-01 08:00:00"));
    EXPECT_EQ(detail->data_content, QStringLiteral("第 2 条消息的内容"));
    EXPECT_FALSE(box->cell(1)->isUnread()) << "drawn read at once";
    EXPECT_TRUE(box->cell(0)->isUnread());
    ASSERT_TRUE(waitUntil([&] { return service.requests(kRead).size() == 1; }));
    EXPECT_EQ(service.requests(kRead).first().queryValue("check_mail"), "2");
    EXPECT_EQ(service.requests(kRead).first().queryValue("token"), kToken);

    // The held message is read too: a row drawn again from it (here, put back after a
    // refused deletion) has no dot.
    EXPECT_EQ(box->itemAt(1).toMap().value("status").toString(), "1");
    detail->action(0);
    ASSERT_TRUE(waitUntil([&] { return nav->topViewController() == box; }));
    routeJson(kDelete, R"({"result":"fail"})");
    box->commitDeleteRow(1);
    ASSERT_TRUE(waitUntil([&] { return box->itemCount() == 2 && box->cell(1); }));
    ASSERT_TRUE(removalAnswered(box, kDelete, 1));
    ASSERT_NE(box->cell(1), nullptr);
    EXPECT_FALSE(box->cell(1)->isUnread());
}

TEST_F(MessageBoxTest, ADeletionTheServiceDoesNotConfirmPutsTheRowBack) {
    routePages(kList, [](int n) { return boxPage(n, 3); });
    routeJson(kDelete, R"({"result":"fail","msg":"no"})");
    auto* box = open<MyMsgboxViewController>(kList);
    ASSERT_EQ(heldIds(box), (QList<int>{1, 2, 3}));

    box->commitDeleteRow(1);
    EXPECT_EQ(heldIds(box), (QList<int>{1, 3})) << "the row leaves at once";
    EXPECT_EQ(box->tableView()->rowCount(), 2);
    ASSERT_TRUE(removalAnswered(box, kDelete, 1));
    EXPECT_EQ(service.requests(kDelete).first().queryValue("check_mail"), "2");
    EXPECT_EQ(service.requests(kDelete).first().queryValue("token"), kToken);
    EXPECT_EQ(heldIds(box), (QList<int>{1, 2, 3})) << "refused: back in its place";
    EXPECT_EQ(box->cell(1)->tag(), 2);
    EXPECT_EQ(box->notice()->text(), QStringLiteral("删除失败"));
    EXPECT_EQ(box->notice()->imageName(), QStringLiteral("read_refresh_no"));

    // A dead connection counts as not confirmed.
    service.route("GET", kDelete, FakeService::Reply::dropped());
    box->commitDeleteRow(0);
    ASSERT_TRUE(waitUntil([&] { return box->itemCount() == 3; }, 20000));
    EXPECT_EQ(heldIds(box), (QList<int>{1, 2, 3}));

    routeJson(kDelete, R"({"result":"ok"})");
    box->commitDeleteRow(2);
    ASSERT_TRUE(removalAnswered(box, kDelete, 4));
    testutil::spin(100);
    EXPECT_EQ(heldIds(box), (QList<int>{1, 2}));
}

TEST_F(MessageBoxTest, TheWholeOfALongMessageCanBeScrolledIntoView) {
    auto* detail = new MsgdetailViewController();
    detail->data_title = QStringLiteral("系统通知");
    detail->data_time = QStringLiteral("2026-12-01 08:00:00");
    detail->data_content = QStringLiteral("长长的一段话，").repeated(400);
    nav->pushViewController(detail, false);
    ASSERT_TRUE(waitUntil([&] { return detail->isViewLoaded(); }));

    const int measured = MsgdetailViewController::measureContentHeight(detail->data_content);
    EXPECT_GT(measured, 2000);
    // Every line of the laid-out text fits the measured height, and the page scrolls past it.
    EXPECT_GE(measured, detail->labelContent()->heightForWidth(300));
    EXPECT_EQ(detail->labelContent()->height(), measured);
    EXPECT_GT(detail->scrollContentSize().height(), detail->labelContent()->geometry().bottom());
    QScrollBar* bar = detail->scrollView()->verticalScrollBar();
    EXPECT_EQ(bar->maximum(),
              detail->scrollContentSize().height() - detail->scrollView()->viewport()->height());
}
