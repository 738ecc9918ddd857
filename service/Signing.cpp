// Request signing: the query string with its checksum that every signed endpoint carries.
#include <QCryptographicHash>
#include <QVarLengthArray>
#include <algorithm>
#include <charconv>

#include "app/tooles.h"
#include "service/Service.h"

namespace {
// Fixed salt shared with the book service; it only ever enters the checksum.
constexpr char kSalt[] = "Qm7tRvKe";

// The checksum input: the UTF-8 bytes that are hashed, kept on the stack for the usual few
// short parameters.
using Bytes = QVarLengthArray<char, 512>;

// Appends the UTF-8 bytes of text; ASCII, the common case, without a conversion.
void appendUtf8(Bytes& out, QStringView text) {
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* dst = out.data() + start;
    const char16_t* src = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (src[i] >= 0x80) {
            out.resize(start + i);
            const QByteArray rest = text.mid(i).toUtf8();
            out.append(rest.constData(), rest.size());
            return;
        }
        dst[i] = char(src[i]);
    }
}

// Writes the value as the service reads it (see Service::textOf; a flag as 1 or 0, anything
// else as nothing) into both the query (escaped for the wire when escaped is set) and the
// checksum input (always as it is).
void appendValue(QString& pairs, Bytes& input, const QVariant& value, bool escaped) {
    const int type = value.typeId();
    if (type == QMetaType::QString) {
        const QString& text = *static_cast<const QString*>(value.constData());
        pairs += escaped ? Service::escapeQueryValue(text) : text;
        appendUtf8(input, text);
        return;
    }
    if (Service::isIntegralType(type) || type == QMetaType::Bool) {
        char digits[24];
        const bool isUnsigned =
            type == QMetaType::ULongLong || type == QMetaType::ULong || type == QMetaType::UInt;
        const auto end = type == QMetaType::Bool
                             ? std::to_chars(digits, digits + sizeof digits, value.toBool() ? 1 : 0)
                         : isUnsigned
                             ? std::to_chars(digits, digits + sizeof digits, value.toULongLong())
                             : std::to_chars(digits, digits + sizeof digits, value.toLongLong());
        const qsizetype n = end.ptr - digits;
        pairs += QLatin1StringView(digits, n);
        input.append(digits, n);
        return;
    }
    const QString text = Service::textOf(value);
    pairs += escaped ? Service::escapeQueryValue(text) : text;
    appendUtf8(input, text);
}

QString sign(const QVariantMap& params, bool escaped) {
    // QVariantMap iterates its keys in ascending code-unit order, which is the order the
    // service expects. One pass writes the query and, beside it, the checksum input as the
    // UTF-8 bytes it is hashed as.
    static constexpr QLatin1StringView kChecksum("&checksum=");
    QString pairs;
    pairs.reserve(params.size() * 40 + kChecksum.size() + 32);
    Bytes input;
    bool first = true;
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        if (!first) {
            pairs += QLatin1Char('&');
            input.append('|');
        }
        first = false;
        pairs += it.key();
        pairs += QLatin1Char('=');
        appendValue(pairs, input, it.value(), escaped);
    }
    input.append(kSalt, qsizetype(sizeof kSalt - 1));
    // One hash object per thread, reset for each use: no allocation per signature.
    thread_local QCryptographicHash md5(QCryptographicHash::Md5);
    md5.reset();
    md5.addData(QByteArrayView(input.constData(), input.size()));
    const QByteArrayView digest = md5.resultView();
    static constexpr char kHex[] = "0123456789abcdef";
    char hex[32];
    for (qsizetype i = 0; i < digest.size() && i < 16; ++i) {
        hex[2 * i] = kHex[(uchar(digest[i]) >> 4) & 0xf];
        hex[2 * i + 1] = kHex[uchar(digest[i]) & 0xf];
    }
    pairs += kChecksum;
    pairs += QLatin1StringView(hex, 2 * std::min<qsizetype>(digest.size(), 16));
    return pairs;
}
} // namespace

QString tooles::createURl(const QVariantMap& params) {
    return sign(params, false);
}

QString Service::signedQuery(const QVariantMap& params) {
    return sign(params, true);
}
