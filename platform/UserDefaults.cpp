#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSaveFile>
#include <QtDebug>

#include "platform/Paths.h"

// The file keeps every value beside its type, {"t": type, "v": value}, so that a text "1"
// comes back as text and 1 as a number. Integers are written as decimal text: a JSON
// number would lose digits beyond 2^53.
namespace {
const QString kType = QStringLiteral("t");
const QString kValue = QStringLiteral("v");

QJsonObject typed(const char* type, const QJsonValue& value) {
    return QJsonObject{{kType, QLatin1String(type)}, {kValue, value}};
}

QJsonValue encode(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QString:
        return typed("string", value.toString());
    case QMetaType::Bool:
        return typed("bool", value.toBool());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::SChar:
        return typed("int", QString::number(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return typed("uint", QString::number(value.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return typed("double", value.toDouble());
    case QMetaType::QVariantMap: {
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            object.insert(it.key(), encode(it.value()));
        return typed("dict", object);
    }
    case QMetaType::QVariantHash: {
        QJsonObject object;
        const QVariantHash hash = value.toHash();
        for (auto it = hash.cbegin(); it != hash.cend(); ++it)
            object.insert(it.key(), encode(it.value()));
        return typed("dict", object);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QJsonArray array;
        const QVariantList list = value.toList();
        for (const QVariant& item : list)
            array.append(encode(item));
        return typed("list", array);
    }
    case QMetaType::QByteArray:
        return typed("data", QString::fromLatin1(value.toByteArray().toBase64()));
    case QMetaType::QDateTime:
        return typed("date", value.toDateTime().toUTC().toString(Qt::ISODateWithMs));
    case QMetaType::Nullptr:
    case QMetaType::UnknownType:
        return typed("null", QJsonValue());
    default:
        if (value.canConvert<QString>())
            return typed("string", value.toString());
        qWarning("UserDefaults: a value of type %s cannot be stored", value.typeName());
        return typed("null", QJsonValue());
    }
}

QVariant decode(const QJsonValue& json, bool* ok) {
    const QJsonObject object = json.toObject();
    const QString type = object.value(kType).toString();
    const QJsonValue v = object.value(kValue);
    if (type == QLatin1String("string") && v.isString())
        return v.toString();
    if (type == QLatin1String("bool") && v.isBool())
        return v.toBool();
    if (type == QLatin1String("int")) {
        bool good = false;
        const qint64 n = v.toString().toLongLong(&good);
        if (good)
            return QVariant::fromValue<qint64>(n);
    }
    if (type == QLatin1String("uint")) {
        bool good = false;
        const quint64 n = v.toString().toULongLong(&good);
        if (good)
            return QVariant::fromValue<quint64>(n);
    }
    if (type == QLatin1String("double") && v.isDouble())
        return v.toDouble();
    if (type == QLatin1String("dict") && v.isObject()) {
        QVariantMap map;
        const QJsonObject inner = v.toObject();
        for (auto it = inner.constBegin(); it != inner.constEnd(); ++it)
            map.insert(it.key(), decode(it.value(), ok));
        return map;
    }
    if (type == QLatin1String("list") && v.isArray()) {
        QVariantList list;
        const QJsonArray inner = v.toArray();
        for (const QJsonValue& item : inner)
            list.append(decode(item, ok));
        return list;
    }
    if (type == QLatin1String("data") && v.isString())
        return QByteArray::fromBase64(v.toString().toLatin1());
    if (type == QLatin1String("date") && v.isString())
        return QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
    if (type == QLatin1String("null"))
        return QVariant();
    *ok = false;
    return QVariant();
}

// Reads a number the way the store's integer and double getters do: numbers as they are,
// a text through its leading number, a bool as 1 or 0.
double numberOf(const QVariant& value, bool* ok) {
    *ok = true;
    switch (value.typeId()) {
    case QMetaType::QString: {
        bool good = false;
        const double d = value.toString().trimmed().toDouble(&good);
        *ok = good;
        return good ? d : 0;
    }
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    default:
        if (value.canConvert<double>() && value.typeId() != QMetaType::QVariantMap &&
            value.typeId() != QMetaType::QVariantList && value.isValid())
            return value.toDouble();
        *ok = false;
        return 0;
    }
}
} // namespace

UserDefaults& UserDefaults::standard() {
    static UserDefaults store;
    return store;
}

UserDefaults::UserDefaults() = default;

QString UserDefaults::filePath() const {
    return QDir(Paths::preferencesDir()).filePath(QStringLiteral("UserDefaults.json"));
}

void UserDefaults::ensureLoaded() const {
    if (loaded_)
        return;
    loaded_ = true;
    values_.clear();
    const QString path = filePath();
    QFile file(path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("UserDefaults: cannot read %s: %s", qUtf8Printable(path),
                 qUtf8Printable(file.errorString()));
        return;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    bool ok = error.error == QJsonParseError::NoError && doc.isObject();
    QVariantMap loaded;
    if (ok) {
        const QJsonObject object = doc.object();
        for (auto it = object.constBegin(); it != object.constEnd() && ok; ++it)
            loaded.insert(it.key(), decode(it.value(), &ok));
    }
    if (!ok) {
        // Keep the damaged file aside for a look later; the store starts empty.
        const QString aside = path + QStringLiteral(".corrupt");
        QFile::remove(aside);
        QFile::copy(path, aside);
        qWarning("UserDefaults: %s is damaged (%s); starting with empty settings",
                 qUtf8Printable(path),
                 qUtf8Printable(error.error != QJsonParseError::NoError
                                    ? error.errorString()
                                    : QStringLiteral("unexpected content")));
        return;
    }
    values_ = loaded;
}

QVariant UserDefaults::objectForKey(const QString& key) const {
    ensureLoaded();
    return values_.value(key);
}

QString UserDefaults::stringForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Double: {
        const double d = value.toDouble();
        return QString::number(d, 'g', QLocale::FloatingPointShortest);
    }
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
        return value.toString();
    default:
        return QString();
    }
}

QVariantMap UserDefaults::dictionaryForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QVariantMap)
        return value.toMap();
    if (value.typeId() == QMetaType::QVariantHash) {
        QVariantMap map;
        const QVariantHash hash = value.toHash();
        for (auto it = hash.cbegin(); it != hash.cend(); ++it)
            map.insert(it.key(), it.value());
        return map;
    }
    return {};
}

qint64 UserDefaults::integerForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::Short:
        return value.toLongLong();
    case QMetaType::ULongLong:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::UShort:
        return static_cast<qint64>(value.toULongLong());
    case QMetaType::QString: {
        bool ok = false;
        const qint64 n = value.toString().trimmed().toLongLong(&ok);
        if (ok)
            return n;
        break;
    }
    default:
        break;
    }
    bool ok = false;
    const double d = numberOf(value, &ok);
    return ok ? static_cast<qint64>(d) : 0;
}

double UserDefaults::doubleForKey(const QString& key) const {
    bool ok = false;
    const double d = numberOf(objectForKey(key), &ok);
    return ok ? d : 0;
}

bool UserDefaults::boolForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        if (text == QLatin1String("yes") || text == QLatin1String("true"))
            return true;
    }
    bool ok = false;
    const double d = numberOf(value, &ok);
    return ok && d != 0;
}

bool UserDefaults::contains(const QString& key) const {
    ensureLoaded();
    return values_.contains(key);
}

void UserDefaults::setObject(const QString& key, const QVariant& value) {
    ensureLoaded();
    if (!value.isValid() || value.typeId() == QMetaType::Nullptr) {
        values_.remove(key);
        return;
    }
    values_.insert(key, value);
}

void UserDefaults::removeObjectForKey(const QString& key) {
    ensureLoaded();
    values_.remove(key);
}

bool UserDefaults::synchronize() {
    ensureLoaded();
    QJsonObject object;
    for (auto it = values_.cbegin(); it != values_.cend(); ++it)
        object.insert(it.key(), encode(it.value()));
    const QString path = filePath();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning("UserDefaults: cannot write %s: %s", qUtf8Printable(path),
                 qUtf8Printable(file.errorString()));
        return false;
    }
    file.write(QJsonDocument(object).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        qWarning("UserDefaults: cannot write %s: %s", qUtf8Printable(path),
                 qUtf8Printable(file.errorString()));
        return false;
    }
    return true;
}

void UserDefaults::reload() {
    loaded_ = false;
    ensureLoaded();
}
