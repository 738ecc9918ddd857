// Registration, sign-in and sign-out as the client goes through them.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <atomic>
#include <gtest/gtest.h>

#include "tests/bookd/BookdHarness.h"

using namespace bookdtest;

namespace {

class BookdAccounts : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(shared().started()); }
};

bool tokenWorks(const QString& token) {
    return call("/data/getfavouite", {{"limit", "11"}, {"page", "1"}, {"token", token}}).ok();
}

} // namespace

TEST_F(BookdAccounts, CodeRegisterLoginLogout) {
    const QString mobile = "13800000001";
    const Reply code = call("/site/send_validate_code", {{"mobile", mobile}});
    ASSERT_TRUE(code.ok());
    EXPECT_TRUE(QRegularExpression("^\\d{6}$").match(code.msg()).hasMatch()) << "the code in msg";

    const Reply reg =
        call("/site/reg", {{"mobile", mobile}, {"password", "secret88"}, {"channel", "IP_4S"}});
    ASSERT_TRUE(reg.ok()) << reg.msg().toStdString();
    const QJsonObject info = reg.json.value("userinfo").toObject();
    EXPECT_TRUE(info.value("id").isDouble());
    EXPECT_GT(info.value("login_time").toVariant().toLongLong(), 0);
    EXPECT_TRUE(tokenWorks(reg.json.value("token").toString()));

    const Reply again =
        call("/site/reg", {{"mobile", mobile}, {"password", "secret88"}, {"channel", "IP_4S"}});
    EXPECT_FALSE(again.ok());
    EXPECT_FALSE(again.msg().isEmpty());
    EXPECT_FALSE(call("/site/send_validate_code", {{"mobile", mobile}}).ok())
        << "a registered number gets no code";

    const Reply login = call("/site/login", {{"username", mobile}, {"password", "secret88"}});
    ASSERT_TRUE(login.ok());
    const QString token = login.json.value("token").toString();
    EXPECT_EQ(token.size(), 32);
    EXPECT_NE(token, reg.json.value("token").toString()) << "every sign-in gets a new token";
    EXPECT_EQ(login.json.value("userinfo").toObject().value("id"), info.value("id"));
    EXPECT_TRUE(tokenWorks(token));

    ASSERT_TRUE(call("/site/logout", {{"token", token}}).ok());
    const Reply after =
        call("/data/getfavouite", {{"limit", "11"}, {"page", "1"}, {"token", token}});
    EXPECT_FALSE(after.ok());
    EXPECT_FALSE(after.msg().isEmpty());
    EXPECT_FALSE(call("/site/logout", {{"token", token}}).ok());
    EXPECT_TRUE(tokenWorks(reg.json.value("token").toString())) << "other sessions stay";
}

TEST_F(BookdAccounts, WrongPasswordsAndMissingCodesAreRefused) {
    ASSERT_FALSE(registerByMobile("13800000002", "rightpass").isEmpty());
    for (const QString& password : {QString("wrongpass"), QString("RIGHTPASS"), QString("")}) {
        const Reply r = call("/site/login", {{"username", "13800000002"}, {"password", password}});
        EXPECT_FALSE(r.ok());
        EXPECT_FALSE(r.msg().isEmpty());
    }
    EXPECT_FALSE(
        call("/site/login", {{"username", "13899999999"}, {"password", "rightpass"}}).ok());

    // Registration by number needs a code sent to that number, and one code registers once.
    const Reply noCode = call(
        "/site/reg", {{"mobile", "13800000003"}, {"password", "secret88"}, {"channel", "IP_4S"}});
    EXPECT_FALSE(noCode.ok());
    EXPECT_FALSE(noCode.msg().isEmpty());
    EXPECT_FALSE(call("/site/send_validate_code", {{"mobile", "12345"}}).ok());
    ASSERT_TRUE(call("/site/send_validate_code", {{"mobile", "13800000003"}}).ok());
    EXPECT_FALSE(
        call("/site/reg", {{"mobile", "13800000003"}, {"password", "short"}, {"channel", "IP_4S"}})
            .ok())
        << "six to sixteen characters";
    EXPECT_TRUE(call("/site/reg",
                     {{"mobile", "13800000003"}, {"password", "secret88"}, {"channel", "IP_4S"}})
                    .ok());
}

TEST_F(BookdAccounts, EmailAccountsSignInByAddress) {
    const Reply reg =
        call("/site/reg",
             {{"email", "reader@example.com"}, {"password", "mail1234"}, {"channel", "IP_5"}});
    ASSERT_TRUE(reg.ok()) << reg.msg().toStdString();
    EXPECT_FALSE(
        call("/site/reg",
             {{"email", "Reader@Example.com"}, {"password", "mail1234"}, {"channel", "IP_5"}})
            .ok());
    EXPECT_FALSE(
        call("/site/reg", {{"email", "not-an-address"}, {"password", "mail1234"}, {"channel", "x"}})
            .ok());
    const Reply login =
        call("/site/login", {{"username", "reader@example.com"}, {"password", "mail1234"}});
    ASSERT_TRUE(login.ok());
    EXPECT_TRUE(tokenWorks(login.json.value("token").toString()));
}

TEST(BookdAccountStore, PasswordsAreStoredHashedAndCodesExpire) {
    std::atomic<qint64> now{1'800'000'000};
    BookServerOptions options;
    options.clock = [&] { return now.load(); };
    LocalBookd bookd(options);
    ASSERT_TRUE(bookd.started());
    BookStore& store = bookd.server().store();

    store.issueCode("13900000001");
    now += 601;
    EXPECT_FALSE(store.consumeCode("13900000001")) << "ten minutes have passed";
    store.issueCode("13900000001");
    now += 599;
    EXPECT_TRUE(store.consumeCode("13900000001"));
    EXPECT_FALSE(store.consumeCode("13900000001")) << "a code is used once";

    const qint64 a = store.createUser("13900000001", {}, "Plaintext-Pw", "IP_4S");
    const qint64 b = store.createUser({}, "b@example.com", "Plaintext-Pw", "IP_4S");
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_EQ(store.checkPassword("13900000001", "Plaintext-Pw"), a);
    EXPECT_EQ(store.checkPassword("b@example.com", "Plaintext-Pw"), b);
    EXPECT_EQ(store.checkPassword("13900000001", "plaintext-pw"), 0);
    const QString token = store.signIn(a);
    EXPECT_EQ(store.userInfo(a).value("login_time").toInteger(), now.load());

    // Neither the password nor its plain hash is anywhere in the catalog's files.
    QByteArray all;
    for (const QString& name : QDir(bookd.dataDir()).entryList(QDir::Files)) {
        QFile f(QDir(bookd.dataDir()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        all += f.readAll();
    }
    EXPECT_FALSE(all.contains("Plaintext-Pw"));
    EXPECT_FALSE(
        all.contains(QCryptographicHash::hash("Plaintext-Pw", QCryptographicHash::Sha256)));
    EXPECT_FALSE(all.contains(QCryptographicHash::hash("Plaintext-Pw", QCryptographicHash::Md5)));
    EXPECT_TRUE(store.signOut(token));
    EXPECT_EQ(store.userForToken(token), 0);
}
