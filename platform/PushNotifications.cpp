#include "platform/PushNotifications.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>

#include "platform/Application.h"

namespace {
QByteArray& storedToken() {
    static QByteArray token;
    return token;
}
} // namespace

void PushNotifications::setDeviceToken(const QByteArray& token) {
    storedToken() = token;
}

QByteArray PushNotifications::deviceToken() {
    return storedToken();
}

QByteArray PushNotifications::tokenFromHex(const QString& hex) {
    QString digits = hex;
    digits.remove(QRegularExpression(QStringLiteral("[<>\\s]")));
    static const QRegularExpression onlyHex(QStringLiteral("^[0-9A-Fa-f]*$"));
    if (digits.isEmpty() || digits.size() % 2 != 0 || !onlyHex.match(digits).hasMatch())
        return {};
    return QByteArray::fromHex(digits.toLatin1());
}

QString PushNotifications::tokenDescription(const QByteArray& token) {
    const QString hex = QString::fromLatin1(token.toHex());
    QString grouped;
    for (int i = 0; i < hex.size(); i += 8) {
        if (i > 0)
            grouped += QLatin1Char(' ');
        grouped += hex.mid(i, 8);
    }
    return QLatin1Char('<') + grouped + QLatin1Char('>');
}

void PushNotifications::requestRegistration(int types) {
    Q_UNUSED(types);
    QTimer::singleShot(0, &Application::shared(), [] {
        ApplicationDelegate* delegate = Application::shared().delegate();
        if (!delegate)
            return;
        if (storedToken().isEmpty())
            delegate->didFailToRegisterForRemoteNotificationsWithError(
                QStringLiteral("no push service is available on this device"));
        else
            delegate->didRegisterForRemoteNotificationsWithDeviceToken(storedToken());
    });
}

void PushNotifications::deliver(const QVariantMap& payload) {
    if (ApplicationDelegate* delegate = Application::shared().delegate())
        delegate->didReceiveRemoteNotification(payload);
}

bool PushNotifications::deliverFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Push payload: cannot read %s", qPrintable(path));
        return false;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isObject()) {
        qWarning("Push payload: %s is not a JSON object", qPrintable(path));
        return false;
    }
    deliver(doc.object().toVariantMap());
    return true;
}
