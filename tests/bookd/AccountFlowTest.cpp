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

Reply reg(const QVariantMap& who, const QString& password) {
    QVariantMap params = who;
    params.insert("password", password);
    params.insert("channel", "IP_4S");
    return call("/site/reg", params);
}

Reply login(const QString& username, const QString& password) {
    return call("/site/login", {{"username", username}, {"password", password}});
}

bool tokenWorks(const QString& token) {
    return call("/data/getfavouite", firstPage(token)).ok();
}

} // namespace

TEST_F(BookdAccounts, CodeRegisterLoginLogout) {
    const QString mobile = "13800000001";
    const Reply code = call("/site/send_validate_code", {{"mobile", mobile}});
    ASSERT_TRUE(code.ok());
    EXPECT_TRUE(QRegularExpression("^\\d{6}$").match(code.msg()).hasMatch()) << "the code in msg";

    const Reply registered = reg({{"mobile", mobile}}, "secret88");
    ASSERT_TRUE(registered.ok()) << registered.msg().toStdString();
    const QJsonObject info = registered.json.value("userinfo").toObject();
    EXPECT_TRUE(info.value("id").isDouble());
    EXPECT_GT(info.value("login_time").toVariant().toLongLong(), 0);
    EXPECT_TRUE(tokenWorks(registered.json.value("token").toString()));

    const Reply again = reg({{"mobile", mobile}}, "secret88");
    EXPECT_FALSE(again.ok());
    EXPECT_FALSE(again.msg().isEmpty());
    EXPECT_FALSE(call("/site/send_validate_code", {{"mobile", mobile}}).ok())
        << "a registered number gets no code";

    const Reply in = login(mobile, "secret88");
    ASSERT_TRUE(in.ok());
    const QString token = in.json.value("token").toString();
    EXPECT_EQ(token.size(), 32);
    EXPECT_NE(token, registered.json.value("token").toString()) << "every sign-in a new token";
    EXPECT_EQ(in.json.value("userinfo").toObject().value("id"), info.value("id"));
    EXPECT_TRUE(tokenWorks(token));

    ASSERT_TRUE(call("/site/logout", {{"token", token}}).ok());
    const Reply after = call("/data/getfavouite", firstPage(token));
    EXPECT_FALSE(after.ok());
    EXPECT_FALSE(after.msg().isEmpty());
    EXPECT_FALSE(call("/site/logout", {{"token", token}}).ok());
    EXPECT_TRUE(tokenWorks(registered.json.value("token").toString())) << "other sessions stay";
}

TEST_F(BookdAccounts, WrongPasswordsAndMissingCodesAreRefused) {
    ASSERT_FALSE(registerByMobile("13800000002", "rightpass").isEmpty());
    const Reply wrong = login("13800000002", "wrongpass");
    EXPECT_FALSE(wrong.ok());
    EXPECT_FALSE(wrong.msg().isEmpty());
    EXPECT_FALSE(login("13899999999", "rightpass").ok());

    // Registration by number needs a code sent to that number, and one code registers once.
    const Reply noCode = reg({{"mobile", "13800000003"}}, "secret88");
    EXPECT_FALSE(noCode.ok());
    EXPECT_FALSE(noCode.msg().isEmpty());
    EXPECT_FALSE(call("/site/send_validate_code", {{"mobile", "12345"}}).ok());
    ASSERT_TRUE(call("/site/send_validate_code", {{"mobile", "13800000003"}}).ok());
    EXPECT_FALSE(reg({{"mobile", "13800000003"}}, "short").ok()) << "six to sixteen characters";
    EXPECT_TRUE(reg({{"mobile", "13800000003"}}, "secret88").ok());
}

TEST_F(BookdAccounts, EmailAccountsSignInByAddress) {
    const Reply registered = reg({{"email", "reader@example.com"}}, "mail1234");
    ASSERT_TRUE(registered.ok()) << registered.msg().toStdString();
    EXPECT_FALSE(reg({{"email", "Reader@Example.com"}}, "mail1234").ok());
    EXPECT_FALSE(reg({{"email", "not-an-address"}}, "mail1234").ok());
    const Reply in = login("reader@example.com", "mail1234");
    ASSERT_TRUE(in.ok());
    EXPECT_TRUE(tokenWorks(in.json.value("token").toString()));
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
    ASSERT_GT(a, 0);
    EXPECT_EQ(store.checkPassword("13900000001", "Plaintext-Pw"), a);
    EXPECT_EQ(store.checkPassword("13900000001", "plaintext-pw"), 0);
    store.signIn(a);
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
}
