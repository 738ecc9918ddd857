#include <QVariantList>
#include <gtest/gtest.h>

#include "service/Service.h"

TEST(DecodeTest, AnythingButAnObjectIsARefusalWithoutMessage) {
    for (const char* body :
         {"", "<html>502 Bad Gateway</html>", "[1,2]", "\"ok\"", "{\"result\":"}) {
        const Service::Answer answer = Service::decode(QString::fromUtf8(body));
        EXPECT_FALSE(answer.ok) << body;
        EXPECT_TRUE(answer.dict.isEmpty()) << body;
        EXPECT_TRUE(answer.msg.isNull()) << body;
    }
}

TEST(DecodeTest, OnlyTheExactStringOkCountsAsSuccess) {
    EXPECT_FALSE(Service::decode(QStringLiteral("{\"msg\":\"no\"}")).ok);
    EXPECT_FALSE(Service::decode(QStringLiteral("{\"result\":\"OK\"}")).ok);
    EXPECT_FALSE(Service::decode(QStringLiteral("{\"result\":true}")).ok);
    EXPECT_FALSE(Service::decode(QStringLiteral("{\"result\":null}")).ok);

    const Service::Answer refused =
        Service::decode(QStringLiteral("{\"result\":\"error\",\"msg\":\"密码错误\"}"));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.msg, QStringLiteral("密码错误"));

    const Service::Answer ok = Service::decode(
        QStringLiteral("{\"result\":\"ok\",\"count\":12,\"books\":[{\"book_id\":3}]}"));
    EXPECT_TRUE(ok.ok);
    EXPECT_TRUE(ok.msg.isNull());
    EXPECT_EQ(Service::pageCount(ok.dict.value(QStringLiteral("count"))), 2);
    const QVariantList books = ok.dict.value(QStringLiteral("books")).toList();
    ASSERT_EQ(books.size(), 1);
    EXPECT_EQ(Service::textOf(books.first().toMap().value(QStringLiteral("book_id"))),
              QStringLiteral("3"));
}

TEST(TextOfTest, StringsAndNumbersOnly) {
    EXPECT_EQ(Service::textOf(QStringLiteral("007")), QStringLiteral("007"));
    EXPECT_EQ(Service::textOf(42), QStringLiteral("42"));
    EXPECT_EQ(Service::textOf(QVariant::fromValue<qint64>(9007199254740993LL)),
              QStringLiteral("9007199254740993"));
    EXPECT_EQ(Service::textOf(12.0), QStringLiteral("12"));
    EXPECT_EQ(Service::textOf(-3.0), QStringLiteral("-3"));
    EXPECT_EQ(Service::textOf(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(Service::textOf(0.1), QStringLiteral("0.1"));
    EXPECT_TRUE(Service::textOf(QVariant()).isNull());
    EXPECT_TRUE(Service::textOf(QVariant::fromValue(nullptr)).isNull());
    EXPECT_TRUE(Service::textOf(QVariantMap{{QStringLiteral("a"), 1}}).isNull());
    EXPECT_TRUE(Service::textOf(QVariantList{1}).isNull());
    EXPECT_TRUE(Service::textOf(true).isNull());
}

TEST(PageCountTest, CeilingOfCountOverEleven) {
    EXPECT_EQ(Service::pageCount(0), 0);
    EXPECT_EQ(Service::pageCount(1), 1);
    EXPECT_EQ(Service::pageCount(11), 1);
    EXPECT_EQ(Service::pageCount(12), 2);
    EXPECT_EQ(Service::pageCount(22.0), 2);
    EXPECT_EQ(Service::pageCount(QStringLiteral("23")), 3);
    EXPECT_EQ(Service::pageCount(QStringLiteral("many")), 0);
    EXPECT_EQ(Service::pageCount(QVariant()), 0);
    EXPECT_EQ(Service::pageCount(QVariant::fromValue(nullptr)), 0);
    EXPECT_EQ(Service::pageCount(QVariantList{1, 2}), 0);
    EXPECT_EQ(Service::pageCount(-5), 0);
}
