#include <gtest/gtest.h>

#include "platform/Keychain.h"
#include "storage/CHKeychain.h"
#include "tests/app/LogCapture.h"
#include "tests/support/TestUtil.h"

namespace {
const QString kItem = QString::fromLatin1(CHKeychain::kSavePhone);

QVariantMap registration(const QString& phone, const QString& code) {
    return {{QString::fromLatin1(CHKeychain::kPhone), phone},
            {QString::fromLatin1(CHKeychain::kValidate), code}};
}
} // namespace

TEST(CHKeychainTest, ValuesRoundTripAndASecondSaveReplacesTheFirst) {
    testutil::ScopedHome home;
    CHKeychain::save(QStringLiteral("com.folia.note"), QStringLiteral("一段 \"text\"\n"));
    EXPECT_EQ(CHKeychain::load(QStringLiteral("com.folia.note")),
              QVariant(QStringLiteral("一段 \"text\"\n")));

    const QVariantMap value = registration(QStringLiteral("13912345678"), QStringLiteral("0123"));
    CHKeychain::save(kItem, value);
    const QVariant loaded = CHKeychain::load(kItem);
    EXPECT_EQ(loaded.typeId(), QMetaType::QVariantMap);
    EXPECT_EQ(loaded.toMap(), value);

    // Saving again leaves one item with the second value.
    CHKeychain::save(kItem, registration(QStringLiteral("13900000002"), QStringLiteral("2222")));
    EXPECT_EQ(CHKeychain::load(kItem).toMap(),
              registration(QStringLiteral("13900000002"), QStringLiteral("2222")));

    // The item is stored under service and account both equal to its name.
    bool found = false;
    Keychain::password(kItem, kItem, &found);
    EXPECT_TRUE(found);
    CHKeychain::deleteItem(kItem);
    Keychain::password(kItem, kItem, &found);
    EXPECT_FALSE(found);
    EXPECT_FALSE(CHKeychain::load(kItem).isValid());
}

TEST(CHKeychainTest, UnreadableItemLogsAndYieldsNone) {
    testutil::ScopedHome home;
    for (const QByteArray& data :
         {QByteArray("garbage"), QByteArray("{\"type\":\"string\"}"), QByteArray("[1,2]")}) {
        ASSERT_TRUE(Keychain::setPassword(kItem, kItem, data));
        testutil::LogCapture log;
        EXPECT_FALSE(CHKeychain::load(kItem).isValid()) << data.constData();
        EXPECT_TRUE(log.containsStart(QStringLiteral("Unarchive of com.folia.savephone failed: ")))
            << data.constData();
    }
}
