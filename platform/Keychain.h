#pragma once

#include <QByteArray>
#include <QString>

// Generic-password items keyed by (service, account).
//
// The desktop build keeps them in one JSON file in Paths::preferencesDir() that only the
// user can read or write (0600), rewritten atomically on every change. No system secret
// store is used: the only item is short-lived registration state.
class Keychain final {
public:
    Keychain() = delete;

    // Adds or replaces the item; false when the store could not be written.
    static bool setPassword(const QString& service, const QString& account, const QByteArray& data);
    // The item's data; found is false (and the result empty) when there is no such item.
    static QByteArray password(const QString& service, const QString& account,
                               bool* found = nullptr);
    // Removes the item; true when the store holds no such item afterwards.
    static bool remove(const QString& service, const QString& account);

    // The file the items live in.
    static QString filePath();
};
