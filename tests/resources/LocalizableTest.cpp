#include <QCoreApplication>
#include <QRegularExpression>
#include <QtConcurrent>
#include <gtest/gtest.h>

#include "platform/Localizable.h"
#include "tests/resources/KnownNames.h"

// Also fails as a whole when the Chinese table is not compiled into the executable.
TEST(Localizable, EveryKeyHasAChineseEntry) {
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    for (const char* key : known::kTextKeys) {
        SCOPED_TRACE(key);
        const QString text = L(key);
        EXPECT_NE(text, QString::fromUtf8(key));
        EXPECT_TRUE(han.match(text).hasMatch());
    }
    for (const char* key : known::kChineseKeys)
        EXPECT_TRUE(L(key).startsWith(QString::fromUtf8(key))) << key;
    EXPECT_EQ(Localizable::text(QStringLiteral("My bookshelf")), QStringLiteral("我的书架"));
}

TEST(Localizable, AKeyWithoutAnEntryShowsItself) {
    EXPECT_EQ(L("Nothing has this key"), QStringLiteral("Nothing has this key"));
    EXPECT_EQ(Localizable::text(QStringLiteral("未收录的文字")), QStringLiteral("未收录的文字"));
    EXPECT_TRUE(L("").isEmpty());
    EXPECT_TRUE(Localizable::text(nullptr).isEmpty());
}

TEST(Localizable, CountingKeysTakeExactlyOneInteger) {
    for (const char* key : {"Search to N records", "The verification code length should be"}) {
        SCOPED_TRACE(key);
        const QString format = L(key);
        EXPECT_EQ(format.count(QStringLiteral("%1")), 1);
        EXPECT_FALSE(format.contains(QStringLiteral("%2")));
        const QString filled = format.arg(6);
        EXPECT_TRUE(filled.contains(QLatin1Char('6')));
        EXPECT_FALSE(filled.contains(QLatin1Char('%')));
    }
    EXPECT_EQ(L("Search to N records").arg(0), QStringLiteral("共搜索到 0 条记录"));
}

TEST(Localizable, InstalledTableAnswersQtLookupsAndWorksOffTheMainThread) {
    EXPECT_TRUE(Localizable::install());
    EXPECT_TRUE(Localizable::install());
    EXPECT_EQ(QCoreApplication::translate("Localizable", "login"), QStringLiteral("登录"));
    const QString fromWorker = QtConcurrent::run([] { return L("cancel"); }).result();
    EXPECT_EQ(fromWorker, QStringLiteral("取消"));
}
