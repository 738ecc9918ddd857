#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/Keychain.h"
#include "tests/support/TestUtil.h"

TEST(KeychainTest, ItemsAreKeyedByServiceAndAccountInAnOwnerOnlyFile) {
    testutil::ScopedHome home;
    const QString service = QStringLiteral("svc");
    ASSERT_TRUE(Keychain::setPassword(service, QStringLiteral("a"), QByteArray("one\0two", 7)));
    ASSERT_TRUE(Keychain::setPassword(service, QStringLiteral("b"), "other"));
    ASSERT_TRUE(Keychain::setPassword(service, QStringLiteral("a"), QByteArray("second\0", 7)));

    bool found = false;
    EXPECT_EQ(Keychain::password(service, QStringLiteral("a"), &found), QByteArray("second\0", 7));
    EXPECT_TRUE(found);
    EXPECT_EQ(Keychain::password(service, QStringLiteral("b")), QByteArray("other"));
    Keychain::password(QStringLiteral("other"), QStringLiteral("a"), &found);
    EXPECT_FALSE(found);

    QFile file(Keychain::filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(file.readAll()).object().value("items").toArray().size(), 2);
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(Keychain::filePath()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    EXPECT_TRUE(Keychain::remove(service, QStringLiteral("a")));
    Keychain::password(service, QStringLiteral("a"), &found);
    EXPECT_FALSE(found);
    EXPECT_TRUE(Keychain::remove(service, QStringLiteral("a")));
    EXPECT_EQ(Keychain::password(service, QStringLiteral("b")), QByteArray("other"));
}

TEST(KeychainTest, DamagedFileHoldsNoItems) {
    testutil::ScopedHome home;
    {
        QFile file(Keychain::filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not json");
    }
    bool found = true;
    EXPECT_TRUE(Keychain::password(QStringLiteral("s"), QStringLiteral("a"), &found).isEmpty());
    EXPECT_FALSE(found);
    ASSERT_TRUE(Keychain::setPassword(QStringLiteral("s"), QStringLiteral("a"), "x"));
    EXPECT_EQ(Keychain::password(QStringLiteral("s"), QStringLiteral("a")), QByteArray("x"));
}
