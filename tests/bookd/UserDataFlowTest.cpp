// Favourites, reading records, messages and reports of a signed-in reader.
#include <gtest/gtest.h>

#include "tests/bookd/BookdHarness.h"

using namespace bookdtest;

namespace {

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
    // A call as this reader.
    Reply as(const QString& path, QVariantMap params) const {
        params.insert("token", token);
        return call(path, params);
    }
    Reply fav(const QString& book, const QString& on) const {
        return as("/site/favouite", {{"book_id", book}, {"fav", on}});
    }
    Reply read(const QString& book, const QString& chapter) const {
        return as("/site/readchapter", {{"book_id", book}, {"chapter", chapter}});
    }
    QString isFavourite(const QString& book) const {
        const Reply info = as("/data/bookinfo", {{"book_id", book}});
        return text(info.json["book"].toObject().value("is_favouite"));
    }
    Reply readLog() const { return call("/data/getreadlog", firstPage(token)); }
    QJsonObject inbox() const {
        return call("/msg/mymsg", firstPage(token)).json.value("msgs").toObject();
    }
    QString token;
};

} // namespace

TEST_F(BookdUserData, FavouritesShowInBookInfoAndTheList) {
    ASSERT_TRUE(fav("5", "1").ok());
    ASSERT_TRUE(fav("8", "1").ok());
    ASSERT_TRUE(fav("8", "1").ok()) << "twice is still once";

    EXPECT_EQ(isFavourite("5"), "1");
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

    ASSERT_TRUE(fav("5", "0").ok());
    EXPECT_EQ(isFavourite("5"), "0");
    list = call("/data/getfavouite", firstPage(token));
    EXPECT_EQ(bookIds(list.json.value("books").toArray()), QList<int>{8});
    EXPECT_TRUE(as("/data/getfavouite", page({}, 2)).json.value("books").toArray().isEmpty());

    EXPECT_FALSE(fav("5", "2").ok());
    EXPECT_FALSE(fav("99999", "1").ok());
}

TEST_F(BookdUserData, ReadingRecordsAreKeptRemovedAndCleared) {
    ASSERT_TRUE(read("2", "7").ok());
    ASSERT_TRUE(read("3", "1").ok());
    ASSERT_TRUE(read("2", "9").ok());
    EXPECT_FALSE(read("2", "101").ok());

    Reply log = readLog();
    ASSERT_TRUE(log.ok());
    EXPECT_EQ(text(log.json.value("count")), "2");
    const QJsonArray items = log.json.value("chapters").toArray();
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

    ASSERT_TRUE(as("/site/removeReadrecord", {{"book_id", "3"}}).ok());
    log = readLog();
    EXPECT_EQ(text(log.json.value("count")), "1");

    ASSERT_TRUE(read("4", "2").ok());
    const Reply cleared = as("/site/delete_read_record", {{"book_id", "ALL"}});
    ASSERT_TRUE(cleared.ok());
    EXPECT_FALSE(cleared.msg().isEmpty()) << "the settings screen shows it";
    log = readLog();
    ASSERT_TRUE(log.ok());
    EXPECT_EQ(text(log.json.value("count")), "0");
    EXPECT_TRUE(log.json.value("chapters").toArray().isEmpty());
}

TEST_F(BookdUserData, MessagesCanBeReadAndDeletedByTheirOwnerOnly) {
    QJsonObject msgs = inbox();
    ASSERT_TRUE(msgs.value("count").isString());
    EXPECT_EQ(msgs.value("count").toString(), "1");
    const QJsonObject welcome = msgs.value("data").toArray().first().toObject();
    EXPECT_FALSE(welcome.value("title").toString().isEmpty());
    EXPECT_FALSE(welcome.value("content").toString().isEmpty());
    EXPECT_EQ(welcome.value("status").toString(), "0");
    EXPECT_FALSE(welcome.value("send_time").toString().isEmpty());
    const QString id = text(welcome.value("id"));

    const QString other = registerByMobile("13600000001", "secret88");
    ASSERT_FALSE(other.isEmpty());
    EXPECT_FALSE(call("/msg/notice_delete", {{"check_mail", id}, {"token", other}}).ok());
    EXPECT_FALSE(call("/msg/notice_read", {{"check_mail", id}, {"token", other}}).ok());

    ASSERT_TRUE(as("/msg/notice_read", {{"check_mail", id}}).ok());
    EXPECT_EQ(inbox()["data"].toArray().first().toObject().value("status").toString(), "1");
    ASSERT_TRUE(as("/msg/notice_delete", {{"check_mail", id}}).ok());
    msgs = inbox();
    EXPECT_EQ(msgs.value("count").toString(), "0");
    EXPECT_TRUE(msgs.value("data").toArray().isEmpty());
}

TEST_F(BookdUserData, FeedbackReportsAndDevicesAreStored) {
    BookStore& store = shared().server().store();
    const auto form = [](const QString& content, const QString& email, const QString& qq) {
        return QVariantMap{{"content", content},
                           {"channel", "IP_4S"},
                           {"email", email},
                           {"qq", qq},
                           {"type", "1"}};
    };
    const int feedback = store.rowCount("feedback");
    EXPECT_TRUE(as("/feedback/form", form(QString::fromUtf8("求《雪中行》全本"), "", "")).ok());
    EXPECT_TRUE(call("/feedback/form", form("anonymous", "a@b.cn", "12345")).ok());
    EXPECT_FALSE(call("/feedback/form", form("", "", "")).ok());
    EXPECT_EQ(store.rowCount("feedback"), feedback + 2);

    const int reports = store.rowCount("error_reports");
    const QVariantMap report = {{"book_id", "2"}, {"chapter_number", "3"}, {"channel", "IP_4S"}};
    EXPECT_TRUE(as("/feedback/reporterror", report).ok());
    QVariantMap badChapter = report;
    badChapter["chapter_number"] = "0";
    EXPECT_FALSE(call("/feedback/reporterror", badChapter).ok());
    EXPECT_EQ(store.rowCount("error_reports"), reports + 1);

    EXPECT_TRUE(call("/site/getdevice", {{"device_token", "0a1b2c3d4e5f6071"}}).ok());
    EXPECT_FALSE(call("/site/getdevice", {{"device_token", "<0a1b 2c3d>"}}).ok());
}
