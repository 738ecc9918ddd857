#include "tools/bookd/RequestSignature.h"

#include <QCryptographicHash>
#include <QList>
#include <QStringList>

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Percent-decoding that leaves "+" alone and keeps a stray "%" as it is.
QString percentDecode(const QByteArray& in) {
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c == '%' && i + 2 < in.size() && hexValue(in.at(i + 1)) >= 0 &&
            hexValue(in.at(i + 2)) >= 0) {
            out.append(char(hexValue(in.at(i + 1)) * 16 + hexValue(in.at(i + 2))));
            i += 2;
        } else {
            out.append(c);
        }
    }
    return QString::fromUtf8(out);
}

} // namespace

QMap<QString, QString> RequestSignature::parseQuery(const QByteArray& rawQuery) {
    QMap<QString, QString> params;
    QString lastKey;
    const QList<QByteArray> fragments = rawQuery.split('&');
    for (qsizetype i = 0; i < fragments.size(); ++i) {
        const QByteArray& fragment = fragments.at(i);
        const qsizetype eq = fragment.indexOf('=');
        if (eq < 0) {
            // Either a bare flag or the tail of a value that held an unescaped "&".
            if (!lastKey.isEmpty())
                params[lastKey] += QLatin1Char('&') + percentDecode(fragment);
            else if (!fragment.isEmpty())
                params.insert(percentDecode(fragment), QString());
            continue;
        }
        const QString key = percentDecode(fragment.left(eq));
        if (key.isEmpty())
            continue;
        params.insert(key, percentDecode(fragment.mid(eq + 1)));
        lastKey = key;
    }
    return params;
}

QString RequestSignature::checksumFor(const QMap<QString, QString>& params) {
    // QMap orders its keys by QString comparison, which for the ASCII key names of the
    // service is the same as byte order ("_" before the letters).
    QStringList values;
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        if (it.key() != QLatin1String("checksum"))
            values << it.value();
    }
    const QByteArray text = values.join(QLatin1Char('|')).toUtf8() + QByteArray(kSalt);
    return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex());
}

bool RequestSignature::verify(const QMap<QString, QString>& params) {
    const auto it = params.constFind(QStringLiteral("checksum"));
    if (it == params.cend())
        return false;
    return it.value().toLower() == checksumFor(params);
}
