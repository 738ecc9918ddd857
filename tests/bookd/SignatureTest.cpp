// bookd's own reading of signed queries agrees with the client's signing, and the service
// refuses what was not signed with the salt.
#include <gtest/gtest.h>

#include "app/tooles.h"
#include "service/Service.h"
#include "tests/bookd/BookdHarness.h"
#include "tools/bookd/RequestSignature.h"

using namespace bookdtest;

namespace {

// What bookd reads from the URL the client would send for these parameters.
QMap<QString, QString> asReceived(const QVariantMap& params) {
    const QUrl url = Service::signedUrl("/data/booklist", params);
    return RequestSignature::parseQuery(url.query(QUrl::FullyEncoded).toLatin1());
}

} // namespace

TEST(BookdSignature, VerifiesWhatTheClientSigns) {
    const QList<QVariantMap> cases = {
        {{"category", "daily"}, {"limit", "11"}, {"page", "1"}},
        {{"keyword", QString::fromUtf8("剑来 长安")}, {"limit", "11"}, {"page", "2"}},
        {{"book_id", 42}, {"chapter", "7"}, {"token", "abc"}},
        // Feedback sends empty e-mail and QQ fields; they still count as values.
        {{"content", "x y"}, {"email", ""}, {"qq", ""}, {"type", "1"}, {"channel", "IP_4S"}},
        {{"username", "a+b@example.com"}, {"password", "p=1%2"}},
    };
    for (const QVariantMap& params : cases) {
        const QMap<QString, QString> got = asReceived(params);
        SCOPED_TRACE(tooles::createURl(params).toStdString());
        EXPECT_TRUE(RequestSignature::verify(got));
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            EXPECT_EQ(got.value(it.key()), it.value().toString()) << it.key().toStdString();
    }
}

TEST(BookdSignature, QueryReadingKeepsPlusAndRejoinsCutValues) {
    const auto p = RequestSignature::parseQuery("keyword=%E5%89%91+x&q=a&b&limit=11&e=");
    EXPECT_EQ(p.value("keyword"), QString::fromUtf8("剑+x"));
    EXPECT_EQ(p.value("q"), "a&b");
    EXPECT_EQ(p.value("limit"), "11");
    EXPECT_TRUE(p.contains("e"));
    EXPECT_EQ(RequestSignature::parseQuery("a=%zz%4").value("a"), "%zz%4");
}

TEST(BookdSignature, RefusesWrongMissingOrForeignChecksums) {
    QMap<QString, QString> params = asReceived({{"category", "daily"}, {"page", "1"}});
    ASSERT_TRUE(RequestSignature::verify(params));
    params["page"] = "2";
    EXPECT_FALSE(RequestSignature::verify(params)) << "a changed value";
    params.remove("checksum");
    EXPECT_FALSE(RequestSignature::verify(params)) << "no checksum";
    params["checksum"] = QString(32, '0');
    EXPECT_FALSE(RequestSignature::verify(params));
}

TEST(BookdSignature, OverHttp) {
    ASSERT_TRUE(shared().started());
    const QString base = shared().base();

    const Reply good =
        call("/data/suggest", {{"category", "daily"}, {"limit", "11"}, {"page", "1"}});
    EXPECT_TRUE(good.ok());

    // The same pairs in another order, with the checksum of the sorted values.
    const QString checksum =
        tooles::createURl({{"category", "daily"}, {"limit", "11"}, {"page", "1"}})
            .section("checksum=", 1);
    const Reply reordered = fetch(
        QUrl(base + "/data/suggest?page=1&limit=11&checksum=" + checksum + "&category=daily"));
    EXPECT_TRUE(reordered.ok());

    const Reply wrong = fetch(
        QUrl(base + "/data/suggest?category=daily&limit=11&page=1&checksum=" + QString(32, 'a')));
    EXPECT_FALSE(wrong.ok());
    EXPECT_FALSE(wrong.msg().isEmpty());
    const Reply unsignedCall = fetch(QUrl(base + "/data/suggest?category=daily&limit=11&page=1"));
    EXPECT_FALSE(unsignedCall.ok());
    EXPECT_FALSE(unsignedCall.msg().isEmpty());

    // A Chinese keyword is signed over its UTF-8 text and sent escaped.
    const Reply chinese = call(
        "/data/booklist", {{"keyword", QString::fromUtf8("长安")}, {"limit", "11"}, {"page", "1"}});
    ASSERT_TRUE(chinese.ok()) << chinese.msg().toStdString();
    EXPECT_GE(chinese.json.value("count").toInt(), 1);
}

TEST(BookdLog, MasksPasswordsAndTokens) {
    const QString line = BookServer::logLine(
        "127.0.0.1", "GET", "/site/login?password=hunter22&username=13800000001&checksum=ab", 200,
        57);
    EXPECT_FALSE(line.contains("hunter22"));
    EXPECT_TRUE(line.contains("username=13800000001"));
    EXPECT_TRUE(line.contains("-> 200, 57 bytes"));
    const QString withToken =
        BookServer::logLine("::1", "GET", "/data/getfavouite?limit=11&token=deadbeef", 200, 9);
    EXPECT_FALSE(withToken.contains("deadbeef"));
    EXPECT_TRUE(withToken.contains("limit=11"));
}
