#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

class HttpRequest;
class QObject;

// The MD5 digest of the text's UTF-8 bytes as 32 lower-case hex digits; a null QString
// (no value) for an empty text.
QString GetMD5(const QString& text);

// The service's conventions: URL composition, requests, answer decoding, paging.
namespace Service {

// Percent-escapes a whole URL text for UTF-8: space, non-ASCII, " % < > \ ^ ` { | } [ ]
// become the escapes of their UTF-8 bytes; everything else stays as it is.
QString escape(const QString& urlText);
// A URL from an already composed text, escaped as above and kept exactly as escaped.
QUrl urlFromText(const QString& urlText);
// One query value escaped as above and, besides, "&", "=" and "+", which the service would
// otherwise read as the end of the value, a new pair or a space.
QString escapeQueryValue(QStringView value);

// The signed query as it goes on the wire: tooles::createURl(params) with every value passed
// through escapeQueryValue. The checksum still covers the values as they are in params.
QString signedQuery(const QVariantMap& params);
// base URL + path + "?" + signedQuery(params), the base and path escaped.
QUrl signedUrl(const QString& path, const QVariantMap& params);
// The unsigned formats: "%@/data/alsoread?book_id=%@", "%@/data/menu?book_id=%@",
// "%@/data/getSitesNameByBookId?book_id=%@", "%@/data/getcontent?book_id=%@&chapters=%@",
// "%@/data/categorylist".
QUrl alsoreadUrl(const QString& bookId);
QUrl menuUrl(const QString& bookId);
QUrl sitesNameUrl(const QString& bookId);
QUrl getcontentUrl(const QString& bookId, const QString& chapters);
QUrl categorylistUrl();
// "<lookup base>/lookup?id=<store id>"
QUrl lookupUrl();

// A book-service request owned by owner, with Accept: application/json, not yet started.
HttpRequest* request(const QUrl& url, QObject* owner);

// The signed-in user's token (user_token), or a null QString when nobody is signed in.
QString userToken();
// Adds "token" to params when a user is signed in; leaves params alone otherwise.
void addToken(QVariantMap& params);

// A decoded answer: the JSON object (empty when the body was not a JSON object),
// ok when result is exactly "ok", and msg (null when absent).
struct Answer {
    QVariantMap dict;
    bool ok = false;
    QString msg;
};
Answer decode(const QString& body);
Answer decode(const HttpRequest* request);

// The text form of a value that may arrive as a string or a number; a null QString for
// null, absent, or any other type (an object, a list, a bool).
QString textOf(const QVariant& value);
// Whether a value of this type is one of the integers textOf writes as a plain number.
bool isIntegralType(int typeId);
// Pages of 11 for a list's count (null or not a number counts 0): ceil(count / 11).
int pageCount(const QVariant& count);
inline constexpr int kPageSize = 11;

} // namespace Service
