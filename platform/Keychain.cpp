#include "platform/Keychain.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSaveFile>
#include <QtDebug>

#include "platform/Paths.h"

namespace {
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

const QString kItems = QStringLiteral("items");
const QString kService = QStringLiteral("service");
const QString kAccount = QStringLiteral("account");
const QString kData = QStringLiteral("data");

QJsonArray readItems() {
    QFile file(Keychain::filePath());
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Keychain: cannot read %s: %s", qUtf8Printable(file.fileName()),
                 qUtf8Printable(file.errorString()));
        return {};
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        qWarning("Keychain: %s is damaged; its items are ignored", qUtf8Printable(file.fileName()));
        return {};
    }
    return doc.object().value(kItems).toArray();
}

bool writeItems(const QJsonArray& items) {
    const QString path = Keychain::filePath();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning("Keychain: cannot write %s: %s", qUtf8Printable(path),
                 qUtf8Printable(file.errorString()));
        return false;
    }
    // The temporary file is made owner-only before any secret is written into it.
    file.setPermissions(kOwnerOnly);
    file.write(QJsonDocument(QJsonObject{{kItems, items}}).toJson(QJsonDocument::Compact));
    if (!file.commit()) {
        qWarning("Keychain: cannot write %s: %s", qUtf8Printable(path),
                 qUtf8Printable(file.errorString()));
        return false;
    }
    QFile::setPermissions(path, kOwnerOnly);
    return true;
}

bool isItem(const QJsonValue& item, const QString& service, const QString& account) {
    const QJsonObject object = item.toObject();
    return object.value(kService).toString() == service &&
           object.value(kAccount).toString() == account;
}
} // namespace

QString Keychain::filePath() {
    return QDir(Paths::preferencesDir()).filePath(QStringLiteral("Keychain.json"));
}

bool Keychain::setPassword(const QString& service, const QString& account, const QByteArray& data) {
    QJsonArray items = readItems();
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        if (isItem(items.at(i), service, account))
            items.removeAt(i);
    }
    items.append(QJsonObject{
        {kService, service}, {kAccount, account}, {kData, QString::fromLatin1(data.toBase64())}});
    return writeItems(items);
}

QByteArray Keychain::password(const QString& service, const QString& account, bool* found) {
    if (found)
        *found = false;
    const QJsonArray items = readItems();
    for (const QJsonValue& item : items) {
        if (!isItem(item, service, account))
            continue;
        if (found)
            *found = true;
        return QByteArray::fromBase64(item.toObject().value(kData).toString().toLatin1());
    }
    return {};
}

bool Keychain::remove(const QString& service, const QString& account) {
    QJsonArray items = readItems();
    bool removed = false;
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        if (isItem(items.at(i), service, account)) {
            items.removeAt(i);
            removed = true;
        }
    }
    return !removed || writeItems(items);
}
