// Request signing: the query string with its checksum that every signed endpoint carries.
#include "app/tooles.h"
#include "service/Service.h"

#include <QStringList>

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
    // service expects.
    QStringList pairs;
    QStringList values;
    pairs.reserve(params.size());
    values.reserve(params.size());
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QString value = valueText(it.value());
        pairs.append(it.key() + QLatin1Char('=') + value);
        values.append(value);
    }
    const QString digest = GetMD5(values.join(QLatin1Char('|')) + QLatin1String(kSalt));
    return pairs.join(QLatin1Char('&')) + QLatin1String("&checksum=") + digest;
}
