// Calls that act for a reader: without a signed-in reader they are refused before anything is
// read or changed, with the text the client shows.
#include <gtest/gtest.h>

#include "tests/bookd/BookdHarness.h"

using namespace bookdtest;

TEST(BookdReaderGate, ReaderCallsAreRefusedWithoutAValidToken) {
    ASSERT_TRUE(shared().started());
    const QString lapsed = QString::fromUtf8("登录已失效，请重新登录");
    const QList<std::pair<QString, QString>> routes = {
        {"/site/favouite", lapsed},
        {"/site/readchapter", QString::fromUtf8("请先登录")},
        {"/site/removeReadrecord", lapsed},
        {"/site/delete_read_record", lapsed},
        {"/data/getreadlog", lapsed},
        {"/data/getfavouite", lapsed},
        {"/msg/mymsg", lapsed},
        {"/msg/notice_read", lapsed},
        {"/msg/notice_delete", lapsed},
    };
    // Otherwise well-formed parameters, so that only the missing reader can be the reason.
    const QVariantMap params =
        page({{"book_id", "2"}, {"chapter", "1"}, {"fav", "1"}, {"check_mail", "1"}}, 1);
    for (const auto& [path, refusal] : routes) {
        for (const QString& token : {QString(), QStringLiteral("not-a-token")}) {
            QVariantMap withToken = params;
            if (!token.isEmpty())
                withToken.insert("token", token);
            const Reply reply = call(path, withToken);
            EXPECT_EQ(reply.json.value("result").toString(), "error") << qPrintable(path);
            EXPECT_EQ(reply.msg(), refusal) << qPrintable(path);
        }
    }
}

TEST(BookdReaderGate, ABadChecksumIsReportedFirstAndUnknownCallsAreNamed) {
    ASSERT_TRUE(shared().started());
    EXPECT_EQ(fetch(QUrl(shared().base() + "/data/getreadlog?checksum=0")).msg(),
              QString::fromUtf8("校验失败"));
    EXPECT_EQ(fetch(QUrl(shared().base() + "/nowhere?checksum=0")).msg(),
              QString::fromUtf8("接口不存在"));
}
