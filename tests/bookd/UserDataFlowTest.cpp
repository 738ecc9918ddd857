// Favourites, reading records, messages and reports of a signed-in reader.
#include <gtest/gtest.h>

#include "tests/bookd/BookdHarness.h"

using namespace bookdtest;

namespace {

QVariantMap withToken(QVariantMap params, const QString& token) {
    params.insert("token", token);
    return params;
}

QVariantMap firstPage(const QString& token) {
    return {{"limit", "11"}, {"page", "1"}, {"token", token}};
}

QList<int> bookIds(const QJsonArray& books) {
    QList<int> ids;
    for (const QJsonValue& b : books)
        ids << b.toObject().value("book_id").toInt();
    return ids;
}

class BookdUserData : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(shared().started());
        static int next = 0;
        token = registerByMobile(QString("1370000%1").arg(++next, 4, 10, QChar('0')), "secret88");
        ASSERT_FALSE(token.isEmpty());
    }
    QString token;
};

} // namespace

TEST_F(BookdUserData, FavouritesShowInBookInfoAndTheList) {
    ASSERT_TRUE(call("/site/favouite", {{"book_id", "5"}, {"fav", "1"}, {"token", token}}).ok());
    ASSERT_TRUE(call("/site/favouite", {{"book_id", "8"}, {"fav", "1"}, {"token", token}}).ok());
    ASSERT_TRUE(call("/site/favouite", {{"book_id", "8"}, {"fav", "1"}, {"token", token}}).ok())
        << "twice is still once";

    const Reply info = call("/data/bookinfo", {{"book_id", "5"}, {"token", token}});
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(Service::textOf(info.json.value("book").toObject().value("is_favouite").toVariant()),
              "1");
    const Reply anonymous = call("/data/bookinfo", {{"book_id", "5"}});
    EXPECT_EQ(anonymous.json.value("book").toObject().value("is_favouite").toInt(), 0)
        << "one reader's favourite is not everybody's";

    Reply list = call("/data/getfavouite", firstPage(token));
    ASSERT_TRUE(list.ok());
    EXPECT_EQ(list.json.value("count").toInt(), 2);
    const QList<int> ids = bookIds(list.json.value("books").toArray());
    EXPECT_EQ(QSet<int>(ids.begin(), ids.end()), (QSet<int>{5, 8}));
    for (const QJsonValue& b : list.json.value("books").toArray())
        EXPECT_EQ(b.toObject().value("is_favouite").toInt(), 1);

    ASSERT_TRUE(call("/site/favouite", {{"book_id", "5"}, {"fav", "0"}, {"token", token}}).ok());
    EXPECT_EQ(call("/data/bookinfo", {{"book_id", "5"}, {"token", token}})
                  .json.value("book")
                  .toObject()
                  .value("is_favouite")
                  .toInt(),
              0);
    list = call("/data/getfavouite", firstPage(token));
    EXPECT_EQ(bookIds(list.json.value("books").toArray()), QList<int>{8});
    EXPECT_EQ(call("/data/getfavouite", withToken({{"limit", "11"}, {"page", "2"}}, token))
                  .json.value("books")
                  .toArray()
                  .size(),
              0);

    // Without a valid token nothing changes, and the answer says why.
    const Reply refused =
        call("/site/favouite", {{"book_id", "5"}, {"fav", "1"}, {"token", "nope"}});
    EXPECT_FALSE(refused.ok());
    EXPECT_FALSE(refused.msg().isEmpty());
    EXPECT_FALSE(call("/site/favouite", {{"book_id", "5"}, {"fav", "2"}, {"token", token}}).ok());
    EXPECT_FALSE(
        call("/site/favouite", {{"book_id", "99999"}, {"fav", "1"}, {"token", token}}).ok());
}

TEST_F(BookdUserData, ReadingRecordsAreKeptRemovedAndCleared) {
    ASSERT_TRUE(
        call("/site/readchapter", {{"book_id", "2"}, {"chapter", "7"}, {"token", token}}).ok());
    ASSERT_TRUE(
        call("/site/readchapter", {{"book_id", "3"}, {"chapter", "1"}, {"token", token}}).ok());
    ASSERT_TRUE(
        call("/site/readchapter", {{"book_id", "2"}, {"chapter", "9"}, {"token", token}}).ok());
    EXPECT_FALSE(
        call("/site/readchapter", {{"book_id", "2"}, {"chapter", "101"}, {"token", token}}).ok());
    EXPECT_FALSE(call("/site/readchapter", {{"book_id", "2"}, {"chapter", "1"}}).ok())
        << "nobody signed in: nothing recorded";

    Reply log = call("/data/getreadlog", firstPage(token));
    ASSERT_TRUE(log.ok());
    EXPECT_EQ(Service::textOf(log.json.value("count").toVariant()), "2");
    QJsonArray items = log.json.value("chapters").toArray();
    ASSERT_EQ(items.size(), 2);
    const QJsonObject book2 = items[0].toObject()["book"].toObject();
    const QJsonObject book3 = items[1].toObject()["book"].toObject();
    EXPECT_EQ(book2.value("book_id").toInt() + book3.value("book_id").toInt(), 5);
    EXPECT_FALSE(book2.value("title").toString().isEmpty());
    EXPECT_TRUE(book2.value("category").toObject().contains("name"));
    for (const QJsonValue& item : items) {
        if (item.toObject()["book"].toObject().value("book_id").toInt() == 2) {
            EXPECT_EQ(item.toObject().value("chapter_number").toInt(), 9) << "the latest chapter";
        }
    }

    ASSERT_TRUE(call("/site/removeReadrecord", {{"book_id", "3"}, {"token", token}}).ok());
    log = call("/data/getreadlog", firstPage(token));
    EXPECT_EQ(Service::textOf(log.json.value("count").toVariant()), "1");

    ASSERT_TRUE(
        call("/site/readchapter", {{"book_id", "4"}, {"chapter", "2"}, {"token", token}}).ok());
    const Reply cleared = call("/site/delete_read_record", {{"book_id", "ALL"}, {"token", token}});
    ASSERT_TRUE(cleared.ok());
    EXPECT_FALSE(cleared.msg().isEmpty()) << "the settings screen shows it";
    log = call("/data/getreadlog", firstPage(token));
    ASSERT_TRUE(log.ok());
    EXPECT_EQ(Service::textOf(log.json.value("count").toVariant()), "0");
    EXPECT_TRUE(log.json.value("chapters").toArray().isEmpty());
}

TEST_F(BookdUserData, MessagesCanBeReadAndDeletedByTheirOwnerOnly) {
    Reply box = call("/msg/mymsg", firstPage(token));
    ASSERT_TRUE(box.ok());
    const QJsonObject msgs = box.json.value("msgs").toObject();
    ASSERT_TRUE(msgs.value("count").isString());
    EXPECT_EQ(msgs.value("count").toString(), "1");
    const QJsonObject welcome = msgs.value("data").toArray().first().toObject();
    EXPECT_FALSE(welcome.value("title").toString().isEmpty());
    EXPECT_FALSE(welcome.value("content").toString().isEmpty());
    EXPECT_EQ(welcome.value("status").toString(), "0");
    EXPECT_FALSE(welcome.value("send_time").toString().isEmpty());
    const QString id = Service::textOf(welcome.value("id").toVariant());

    const QString other = registerByMobile("13600000001", "secret88");
    ASSERT_FALSE(other.isEmpty());
    EXPECT_FALSE(call("/msg/notice_delete", {{"check_mail", id}, {"token", other}}).ok());
    EXPECT_FALSE(call("/msg/notice_read", {{"check_mail", id}, {"token", other}}).ok());

    ASSERT_TRUE(call("/msg/notice_read", {{"check_mail", id}, {"token", token}}).ok());
    box = call("/msg/mymsg", firstPage(token));
    EXPECT_EQ(
        box.json["msgs"].toObject()["data"].toArray().first().toObject().value("status").toString(),
        "1");

    ASSERT_TRUE(call("/msg/notice_delete", {{"check_mail", id}, {"token", token}}).ok());
    box = call("/msg/mymsg", firstPage(token));
    ASSERT_TRUE(box.ok());
    EXPECT_EQ(box.json["msgs"].toObject().value("count").toString(), "0");
    EXPECT_TRUE(box.json["msgs"].toObject().value("data").toArray().isEmpty());
}

TEST_F(BookdUserData, FeedbackReportsAndDevicesAreStored) {
    BookStore& store = shared().server().store();
    const int feedback = store.rowCount("feedback");
    EXPECT_TRUE(call("/feedback/form", {{"content", QString::fromUtf8("求《雪中行》全本")},
                                        {"channel", "IP_4S"},
                                        {"email", ""},
                                        {"qq", ""},
                                        {"type", "2"},
                                        {"token", token}})
                    .ok());
    EXPECT_TRUE(call("/feedback/form", {{"content", "anonymous"},
                                        {"channel", "IP_4S"},
                                        {"email", "a@b.cn"},
                                        {"qq", "12345"},
                                        {"type", "1"}})
                    .ok());
    EXPECT_FALSE(
        call("/feedback/form",
             {{"content", ""}, {"channel", "IP_4S"}, {"email", ""}, {"qq", ""}, {"type", "1"}})
            .ok());
    EXPECT_EQ(store.rowCount("feedback"), feedback + 2);

    const int reports = store.rowCount("error_reports");
    EXPECT_TRUE(
        call("/feedback/reporterror",
             {{"book_id", "2"}, {"chapter_number", "3"}, {"channel", "IP_4S"}, {"token", token}})
            .ok());
    EXPECT_FALSE(call("/feedback/reporterror",
                      {{"book_id", "2"}, {"chapter_number", "0"}, {"channel", "IP_4S"}})
                     .ok());
    EXPECT_EQ(store.rowCount("error_reports"), reports + 1);

    EXPECT_TRUE(call("/site/getdevice", {{"device_token", "0a1b2c3d4e5f6071"}}).ok());
    EXPECT_FALSE(call("/site/getdevice", {{"device_token", "<0a1b 2c3d>"}}).ok());
}
