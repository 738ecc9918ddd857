#pragma once

#include <QVariant>
#include <QVariantMap>

// The application's user-defaults store: typed values (text, numbers, bools, dictionaries,
// lists) kept in one JSON file in the documents directory's parent settings location.
// Values live in memory; synchronize() writes the file atomically. Types survive a restart:
// a number stays a number, a bool a bool, a text a text.
class UserDefaults final {
public:
    static UserDefaults& standard();

    QVariant objectForKey(const QString& key) const;
    QString stringForKey(const QString& key) const;         // null QString when absent
    QVariantMap dictionaryForKey(const QString& key) const; // empty when absent or not a dictionary
    qint64 integerForKey(const QString& key) const;         // 0 when absent
    double doubleForKey(const QString& key) const;          // 0 when absent
    bool boolForKey(const QString& key) const;              // false when absent
    bool contains(const QString& key) const;

    void setObject(const QString& key, const QVariant& value);
    void removeObjectForKey(const QString& key);

    // Writes the store to its file atomically; false when the write failed.
    bool synchronize();

    // Drops what is in memory and reads the file again (a restart, for tests).
    void reload();
    // The file the store lives in.
    QString filePath() const;

private:
    UserDefaults();
    mutable QVariantMap values_;
    mutable bool loaded_ = false;
    void ensureLoaded() const;
};
