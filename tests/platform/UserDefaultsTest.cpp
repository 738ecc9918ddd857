#include <QFile>
#include <QVariantList>
#include <gtest/gtest.h>

#include "platform/UserDefaults.h"
#include "tests/app/LogCapture.h"
#include "tests/support/TestUtil.h"

namespace {
class UserDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override { store().reload(); }
    void TearDown() override { store().reload(); }
    static UserDefaults& store() { return UserDefaults::standard(); }
    testutil::ScopedHome home_;
};
} // namespace

TEST_F(UserDefaultsTest, ValuesKeepTheirTypesAcrossARestart) {
    const QVariantMap profile{{QStringLiteral("id"), 42},
                              {QStringLiteral("login_time"), QStringLiteral("1700000000")},
                              {QStringLiteral("vip"), false},
                              {QStringLiteral("tags"), QVariantList{QStringLiteral("a"), 2.5}}};
    store().setObject(QStringLiteral("text_one"), QStringLiteral("1"));
    store().setObject(QStringLiteral("number_one"), 1);
    store().setObject(QStringLiteral("big"), QVariant::fromValue<qint64>(9007199254740993LL));
    store().setObject(QStringLiteral("ratio"), 0.35);
    store().setObject(QStringLiteral("flag"), true);
    store().setObject(QStringLiteral("user_info"), profile);
    ASSERT_TRUE(store().synchronize());

    store().reload();
    EXPECT_EQ(store().objectForKey(QStringLiteral("text_one")).typeId(), QMetaType::QString);
    EXPECT_EQ(store().stringForKey(QStringLiteral("text_one")), QStringLiteral("1"));
    const QVariant one = store().objectForKey(QStringLiteral("number_one"));
    EXPECT_NE(one.typeId(), QMetaType::QString);
    EXPECT_EQ(one.toLongLong(), 1);
    EXPECT_EQ(store().integerForKey(QStringLiteral("big")), 9007199254740993LL);
    EXPECT_DOUBLE_EQ(store().doubleForKey(QStringLiteral("ratio")), 0.35);
    EXPECT_EQ(store().objectForKey(QStringLiteral("flag")).typeId(), QMetaType::Bool);
    EXPECT_TRUE(store().boolForKey(QStringLiteral("flag")));

    const QVariantMap info = store().dictionaryForKey(QStringLiteral("user_info"));
    EXPECT_EQ(info.value(QStringLiteral("login_time")).typeId(), QMetaType::QString);
    EXPECT_EQ(info.value(QStringLiteral("id")).toLongLong(), 42);
    EXPECT_EQ(info.value(QStringLiteral("vip")).typeId(), QMetaType::Bool);
    const QVariantList tags = info.value(QStringLiteral("tags")).toList();
    ASSERT_EQ(tags.size(), 2);
    EXPECT_EQ(tags.at(0), QVariant(QStringLiteral("a")));
    EXPECT_DOUBLE_EQ(tags.at(1).toDouble(), 2.5);
}

TEST_F(UserDefaultsTest, OnlySynchronizedChangesSurviveARestart) {
    store().setObject(QStringLiteral("FontSizeId"), 2);
    store().synchronize();
    store().setObject(QStringLiteral("FontSizeId"), 3);
    store().setObject(QStringLiteral("unsaved"), QStringLiteral("x"));
    store().reload();
    EXPECT_EQ(store().integerForKey(QStringLiteral("FontSizeId")), 2);
    EXPECT_FALSE(store().contains(QStringLiteral("unsaved")));

    store().removeObjectForKey(QStringLiteral("FontSizeId"));
    store().synchronize();
    store().reload();
    EXPECT_FALSE(store().contains(QStringLiteral("FontSizeId")));
}

TEST_F(UserDefaultsTest, GettersOfAbsentOrOtherTypes) {
    EXPECT_TRUE(store().stringForKey(QStringLiteral("absent")).isNull());
    EXPECT_TRUE(store().dictionaryForKey(QStringLiteral("absent")).isEmpty());
    EXPECT_EQ(store().integerForKey(QStringLiteral("absent")), 0);
    EXPECT_FALSE(store().boolForKey(QStringLiteral("absent")));

    store().setObject(QStringLiteral("count"), QStringLiteral("12"));
    store().setObject(QStringLiteral("token"), 123456);
    EXPECT_EQ(store().integerForKey(QStringLiteral("count")), 12);
    EXPECT_EQ(store().stringForKey(QStringLiteral("token")), QStringLiteral("123456"));
    EXPECT_TRUE(store().dictionaryForKey(QStringLiteral("count")).isEmpty());

    // Storing nothing removes the key.
    store().setObject(QStringLiteral("count"), QVariant());
    EXPECT_FALSE(store().contains(QStringLiteral("count")));
}

TEST_F(UserDefaultsTest, DamagedFileStartsEmptyAfterOneLogLine) {
    {
        QFile file(store().filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("{\"everLaunched\": {\"t\": \"bool\", \"v\": tru");
    }
    testutil::LogCapture log;
    store().reload();
    EXPECT_FALSE(store().contains(QStringLiteral("everLaunched")));
    EXPECT_EQ(log.messages().size(), 1);

    // The store still works and replaces the damaged file.
    store().setObject(QStringLiteral("everLaunched"), true);
    ASSERT_TRUE(store().synchronize());
    store().reload();
    EXPECT_TRUE(store().boolForKey(QStringLiteral("everLaunched")));
}
