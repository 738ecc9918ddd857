#include "service/Service.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QMetaType>
#include <cmath>

#include "app/tooles.h"
#include "engines/HttpRequest.h"
#include "service/Endpoints.h"
#include "service/ServiceConfig.h"
#include "storage/UserStore.h"

QString GetMD5(const QString& text) {
    if (text.isEmpty())
        return QString();
    const QByteArray digest = QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5);
    return QString::fromLatin1(digest.toHex());
}

namespace Service {

namespace {
// Bytes that may not stand literally in a URL: controls, space, everything outside ASCII
// and the excluded punctuation. "#" is escaped too, since none of our URLs carries a
// fragment and a literal one would cut the query short.
bool mustEscape(unsigned char byte) {
    if (byte <= 0x20 || byte >= 0x7F)
        return true;
    switch (byte) {
    case '"':
    case '#':
    case '%':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
    case '[':
    case ']':
        return true;
    default:
        return false;
    }
}

bool isQuerySeparator(unsigned char byte) {
    return byte == '&' || byte == '=' || byte == '+';
}

QByteArray escapedBytes(QStringView urlText, bool separatorsToo = false) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = urlText.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + utf8.size() / 2);
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (mustEscape(byte) || (separatorsToo && isQuerySeparator(byte))) {
            out.append('%');
            out.append(hex[byte >> 4]);
            out.append(hex[byte & 0x0F]);
        } else {
            out.append(c);
        }
    }
    return out;
}

} // namespace

QString escape(const QString& urlText) {
    return QString::fromLatin1(escapedBytes(urlText));
}

QUrl urlFromText(const QString& urlText) {
    // The text is already escaped exactly as the service expects; fromEncoded keeps it as
    // it stands instead of re-encoding "+", "=" or "&" or decoding anything.
    return QUrl::fromEncoded(escapedBytes(urlText), QUrl::TolerantMode);
}

QString escapeQueryValue(QStringView value) {
    return QString::fromLatin1(escapedBytes(value, true));
}

QUrl signedUrl(const QString& path, const QVariantMap& params) {
    // The query is escaped value by value already; escaping it again would turn each "%" of
    // its escapes into "%25".
    return QUrl::fromEncoded(escapedBytes(QString(ServiceConfig::baseUrl() + path)) + '?' +
                                 signedQuery(params).toLatin1(),
                             QUrl::TolerantMode);
}

QUrl alsoreadUrl(const QString& bookId) {
    return urlFromText(ServiceConfig::baseUrl() + QLatin1String(Endpoints::alsoread) +
                       QLatin1String("?book_id=") + bookId);
}

QUrl menuUrl(const QString& bookId) {
    return urlFromText(ServiceConfig::baseUrl() + QLatin1String(Endpoints::menu) +
                       QLatin1String("?book_id=") + bookId);
}

QUrl sitesNameUrl(const QString& bookId) {
    return urlFromText(ServiceConfig::baseUrl() + QLatin1String(Endpoints::getSitesNameByBookId) +
                       QLatin1String("?book_id=") + bookId);
}

QUrl getcontentUrl(const QString& bookId, const QString& chapters) {
    return urlFromText(ServiceConfig::baseUrl() + QLatin1String(Endpoints::getcontent) +
                       QLatin1String("?book_id=") + bookId + QLatin1String("&chapters=") +
                       chapters);
}

QUrl categorylistUrl() {
    return urlFromText(ServiceConfig::baseUrl() + QLatin1String(Endpoints::categorylist));
}

QUrl lookupUrl() {
    return urlFromText(ServiceConfig::lookupBase() + QLatin1String(Endpoints::lookup) +
                       QLatin1String("?id=") + ServiceConfig::storeId());
}

HttpRequest* request(const QUrl& url, QObject* owner) {
    auto* req = new HttpRequest(url, owner);
    req->addRequestHeader(QStringLiteral("Accept"), QStringLiteral("application/json"));
    return req;
}

QString userToken() {
    return UserStore::token();
}

void addToken(QVariantMap& params) {
    const QString token = userToken();
    if (!token.isNull())
        params.insert(QStringLiteral("token"), token);
}

Answer decode(const QString& body) {
    Answer answer;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(body.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return answer;
    answer.dict = doc.object().toVariantMap();
    const QVariant result = answer.dict.value(QStringLiteral("result"));
    answer.ok = result.typeId() == QMetaType::QString && result.toString() == QLatin1String("ok");
    answer.msg = textOf(answer.dict.value(QStringLiteral("msg")));
    return answer;
}

Answer decode(const HttpRequest* request) {
    if (!request)
        return Answer{};
    return decode(request->responseString());
}

QString textOf(const QVariant& value) {
    const int type = value.typeId();
    if (type == QMetaType::QString)
        return value.toString();
    if (isIntegralType(type)) {
        if (type == QMetaType::ULongLong || type == QMetaType::ULong || type == QMetaType::UInt)
            return QString::number(value.toULongLong());
        return QString::number(value.toLongLong());
    }
    if (type == QMetaType::Double || type == QMetaType::Float) {
        const double d = value.toDouble();
        if (!std::isfinite(d))
            return QString();
        // 9.2e18 is the largest double that still fits a qint64.
        if (d == std::floor(d) && std::fabs(d) < 9.2e18)
            return QString::number(static_cast<qint64>(d));
        return QString::number(d, 'g', QLocale::FloatingPointShortest);
    }
    return QString();
}

int pageCount(const QVariant& count) {
    double total = 0;
    const int type = count.typeId();
    if (isIntegralType(type) || type == QMetaType::Double || type == QMetaType::Float) {
        total = count.toDouble();
    } else if (type == QMetaType::QString) {
        bool ok = false;
        total = count.toString().trimmed().toDouble(&ok);
        if (!ok)
            total = 0;
    }
    if (!std::isfinite(total) || total <= 0)
        return 0;
    const double pages = std::ceil(total / kPageSize);
    return pages > 2147483647.0 ? 2147483647 : static_cast<int>(pages);
}

bool isIntegralType(int typeId) {
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

} // namespace Service
