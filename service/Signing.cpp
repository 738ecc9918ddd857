// Request signing: the query string with its checksum that every signed endpoint carries.
#include "app/tooles.h"
#include "service/Service.h"

namespace {
// Fixed salt shared with the book service; it only ever enters the checksum.
constexpr char kSalt[] = "Qm7tRvKe";

QString valueText(const QVariant& value) {
    const QString text = Service::textOf(value);
    if (!text.isNull())
        return text;
    // A flag taken from an answer is written the way the service writes it: 1 or 0.
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return QString();
}
} // namespace

QString tooles::createURl(const QVariantMap& params) {
    // QVariantMap iterates its keys in ascending code-unit order, which is the order the
    // service expects. Pairs and checksum input are built side by side in one pass.
    QString pairs;
    QString values;
    pairs.reserve(params.size() * 24 + 48);
    values.reserve(params.size() * 12 + 8);
    bool first = true;
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QString value = valueText(it.value());
        if (!first) {
            pairs += QLatin1Char('&');
            values += QLatin1Char('|');
        }
        first = false;
        pairs += it.key();
        pairs += QLatin1Char('=');
        pairs += value;
        values += value;
    }
    values += QLatin1String(kSalt);
    pairs += QLatin1String("&checksum=");
    pairs += GetMD5(values);
    return pairs;
}
