#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

// The push notification service. A desktop has no push provider: a device token can be given
// at start-up (--push-token HEX) and payloads handed in (--push FILE.json); both reach the
// application delegate exactly as a phone's push service would deliver them.
class PushNotifications final {
public:
    PushNotifications() = delete;

    // The token the service hands out when asked to register; empty for none.
    static void setDeviceToken(const QByteArray& token);
    static QByteArray deviceToken();
    // Parses hexadecimal digits (spaces and angle brackets allowed) into the token's bytes;
    // empty when the text holds anything else or an odd number of digits.
    static QByteArray tokenFromHex(const QString& hex);

    // The phone's standard description of a token: lower-case hex in groups of eight digits,
    // separated by spaces, within "<" and ">".
    static QString tokenDescription(const QByteArray& token);

    // Registration asked for by the application: on the next turn of the event loop the
    // delegate gets the token, or a failure when there is none.
    static void requestRegistration(int types);

    // Delivers a payload to the delegate now.
    static void deliver(const QVariantMap& payload);
    // Reads a JSON object from a file and delivers it; false when the file is not one.
    static bool deliverFile(const QString& path);
};
