#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

// Archived objects kept as keychain items whose service and account are both the item's
// name. The phone registration carries the number and the verification code between its
// screens this way.
class CHKeychain final {
public:
    CHKeychain() = delete;

    // The registration item: a dictionary of the number and the code under the two keys.
    static constexpr char kSavePhone[] = "com.folia.savephone";
    static constexpr char kPhone[] = "com.folia.phone";
    static constexpr char kValidate[] = "com.folia.validate";

    // The item's attributes: class, service, account, accessibility.
    static QVariantMap getKeychainQuery(const QString& name);
    // Replaces any item of that name with the archive of data (a string, a number, or a
    // dictionary or list of those). Failures are logged and otherwise ignored.
    static void save(const QString& name, const QVariant& data);
    // The object stored under name; an invalid QVariant when there is none or it cannot be
    // read back.
    static QVariant load(const QString& name);
    // Removes the item ("delete" is a keyword, hence the name). Errors are ignored.
    static void deleteItem(const QString& name);

    // The archive format, apart for tests: JSON with a type tag on every value.
    static QByteArray archive(const QVariant& object, bool* ok = nullptr);
    static QVariant unarchive(const QByteArray& data, QString* error = nullptr);
};
