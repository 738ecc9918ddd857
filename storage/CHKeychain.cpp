#include "storage/CHKeychain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QtDebug>

#include "platform/Keychain.h"

namespace {
const QString kType = QStringLiteral("type");
const QString kValue = QStringLiteral("value");

// Each value is {"type": ..., "value": ...}; integers travel as decimal text so that
// none loses digits.
bool encode(const QVariant& object, QJsonValue* out) {
    switch (object.typeId()) {
    case QMetaType::QString:
        *out = QJsonObject{{kType, QStringLiteral("string")}, {kValue, object.toString()}};
        return true;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        *out = QJsonObject{{kType, QStringLiteral("integer")}, {kValue, object.toString()}};
        return true;
    case QMetaType::Double:
        *out = QJsonObject{{kType, QStringLiteral("real")}, {kValue, object.toDouble()}};
        return true;
    case QMetaType::Bool:
        *out = QJsonObject{{kType, QStringLiteral("bool")}, {kValue, object.toBool()}};
        return true;
    case QMetaType::QVariantMap: {
        QJsonObject members;
        const QVariantMap map = object.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            QJsonValue member;
            if (!encode(it.value(), &member))
                return false;
            members.insert(it.key(), member);
        }
        *out = QJsonObject{{kType, QStringLiteral("dictionary")}, {kValue, members}};
        return true;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QJsonArray elements;
        const QVariantList list = object.toList();
        for (const QVariant& item : list) {
            QJsonValue element;
            if (!encode(item, &element))
                return false;
            elements.append(element);
        }
        *out = QJsonObject{{kType, QStringLiteral("array")}, {kValue, elements}};
        return true;
    }
    default:
        return false;
    }
}

bool decode(const QJsonValue& in, QVariant* out, QString* error) {
    const QJsonObject object = in.toObject();
    const QString type = object.value(kType).toString();
    const QJsonValue value = object.value(kValue);
    if (type == QLatin1String("string") && value.isString()) {
        *out = value.toString();
        return true;
    }
    if (type == QLatin1String("integer") && value.isString()) {
        bool ok = false;
        const qint64 n = value.toString().toLongLong(&ok);
        if (ok) {
            *out = QVariant::fromValue<qint64>(n);
            return true;
        }
    }
    if (type == QLatin1String("real") && value.isDouble()) {
        *out = value.toDouble();
        return true;
    }
    if (type == QLatin1String("bool") && value.isBool()) {
        *out = value.toBool();
        return true;
    }
    if (type == QLatin1String("dictionary") && value.isObject()) {
        QVariantMap map;
        const QJsonObject members = value.toObject();
        for (auto it = members.constBegin(); it != members.constEnd(); ++it) {
            QVariant member;
            if (!decode(it.value(), &member, error))
                return false;
            map.insert(it.key(), member);
        }
        *out = map;
        return true;
    }
    if (type == QLatin1String("array") && value.isArray()) {
        QVariantList list;
        const QJsonArray elements = value.toArray();
        for (const QJsonValue& element : elements) {
            QVariant item;
            if (!decode(element, &item, error))
                return false;
            list.append(item);
        }
        *out = list;
        return true;
    }
    *error = type.isEmpty() ? QStringLiteral("value without a type")
                            : QStringLiteral("unreadable value of type %1").arg(type);
    return false;
}
} // namespace

QVariantMap CHKeychain::getKeychainQuery(const QString& name) {
    return QVariantMap{{QStringLiteral("class"), QStringLiteral("genericPassword")},
                       {QStringLiteral("service"), name},
                       {QStringLiteral("account"), name},
                       {QStringLiteral("accessible"), QStringLiteral("afterFirstUnlock")}};
}

QByteArray CHKeychain::archive(const QVariant& object, bool* ok) {
    QJsonValue root;
    const bool good = encode(object, &root);
    if (ok)
        *ok = good;
    if (!good)
        return {};
    return QJsonDocument(root.toObject()).toJson(QJsonDocument::Compact);
}

QVariant CHKeychain::unarchive(const QByteArray& data, QString* error) {
    QString reason;
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &parseError);
    QVariant object;
    if (parseError.error != QJsonParseError::NoError)
        reason = parseError.errorString();
    else if (!doc.isObject())
        reason = QStringLiteral("not an archive");
    else if (decode(doc.object(), &object, &reason))
        return object;
    if (error)
        *error = reason;
    return QVariant();
}

void CHKeychain::save(const QString& name, const QVariant& data) {
    const QVariantMap query = getKeychainQuery(name);
    const QString service = query.value(QStringLiteral("service")).toString();
    const QString account = query.value(QStringLiteral("account")).toString();
    Keychain::remove(service, account);
    bool ok = false;
    const QByteArray archived = archive(data, &ok);
    if (!ok) {
        qWarning("CHKeychain: cannot archive a value of type %s for %s", data.typeName(),
                 qUtf8Printable(name));
        return;
    }
    Keychain::setPassword(service, account, archived);
}

QVariant CHKeychain::load(const QString& name) {
    const QVariantMap query = getKeychainQuery(name);
    bool found = false;
    const QByteArray data =
        Keychain::password(query.value(QStringLiteral("service")).toString(),
                           query.value(QStringLiteral("account")).toString(), &found);
    if (!found)
        return QVariant();
    QString error;
    const QVariant object = unarchive(data, &error);
    if (!object.isValid())
        qWarning("Unarchive of %s failed: %s", qUtf8Printable(name), qUtf8Printable(error));
    return object;
}

void CHKeychain::deleteItem(const QString& name) {
    const QVariantMap query = getKeychainQuery(name);
    Keychain::remove(query.value(QStringLiteral("service")).toString(),
                     query.value(QStringLiteral("account")).toString());
}
