// Calls that act for a reader, answered directly (no transport): without a signed-in reader
// they are refused before anything is read or changed, with the text the client shows.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tools/bookd/BookServer.h"
#include "tools/bookd/RequestSignature.h"

namespace {

class BookdReaderGate : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        BookServerOptions options;
        options.dataDir = dir.path();
        options.log = false;
        server = std::make_unique<BookServer>(options);
        // bind() opens the store; the accept loop is never started.
        ASSERT_TRUE(server->bind());
    }

    QJsonObject answer(const QString& path, QMap<QString, QString> params) {
        params.insert(QStringLiteral("checksum"), RequestSignature::checksumFor(params));
        BookServer::Call call;
        call.path = path;
        call.params = params;
        call.base = QStringLiteral("http://127.0.0.1");
        return server->answer(call);
    }

    QTemporaryDir dir;
    std::unique_ptr<BookServer> server;
};

TEST_F(BookdReaderGate, ReaderCallsAreRefusedWithoutAValidToken) {
    const QString lapsed = QStringLiteral("登录已失效，请重新登录");
    const QList<std::pair<QString, QString>> routes = {
        {QStringLiteral("/site/favouite"), lapsed},
        {QStringLiteral("/site/readchapter"), QStringLiteral("请先登录")},
        {QStringLiteral("/site/removeReadrecord"), lapsed},
        {QStringLiteral("/site/delete_read_record"), lapsed},
        {QStringLiteral("/data/getreadlog"), lapsed},
        {QStringLiteral("/data/getfavouite"), lapsed},
        {QStringLiteral("/msg/mymsg"), lapsed},
        {QStringLiteral("/msg/notice_read"), lapsed},
        {QStringLiteral("/msg/notice_delete"), lapsed},
    };
    // Otherwise well-formed parameters, so that only the missing reader can be the reason.
    const QMap<QString, QString> params = {{QStringLiteral("book_id"), QStringLiteral("2")},
                                           {QStringLiteral("chapter"), QStringLiteral("1")},
                                           {QStringLiteral("fav"), QStringLiteral("1")},
                                           {QStringLiteral("limit"), QStringLiteral("11")},
                                           {QStringLiteral("page"), QStringLiteral("1")},
                                           {QStringLiteral("check_mail"), QStringLiteral("1")}};
    for (const auto& [path, refusal] : routes) {
        for (const QString& token : {QString(), QStringLiteral("not-a-token")}) {
            QMap<QString, QString> withToken = params;
            if (!token.isEmpty())
                withToken.insert(QStringLiteral("token"), token);
            const QJsonObject reply = answer(path, withToken);
            EXPECT_EQ(reply.value(QStringLiteral("result")).toString(), QStringLiteral("error"))
                << qPrintable(path);
            EXPECT_EQ(reply.value(QStringLiteral("msg")).toString(), refusal) << qPrintable(path);
        }
    }
}

TEST_F(BookdReaderGate, PublicCallsNeedNoReaderAndUnsignedOnesAreStillChecked) {
    const QJsonObject info = answer(QStringLiteral("/data/bookinfo"),
                                    {{QStringLiteral("book_id"), QStringLiteral("2")}});
    EXPECT_EQ(info.value(QStringLiteral("result")).toString(), QStringLiteral("ok"));
    // A bad checksum is reported before the missing reader.
    BookServer::Call call;
    call.path = QStringLiteral("/data/getreadlog");
    call.params = {{QStringLiteral("checksum"), QStringLiteral("0")}};
    EXPECT_EQ(server->answer(call).value(QStringLiteral("msg")).toString(),
              QStringLiteral("校验失败"));
    call.path = QStringLiteral("/nowhere");
    EXPECT_EQ(server->answer(call).value(QStringLiteral("msg")).toString(),
              QStringLiteral("接口不存在"));
}

} // namespace
