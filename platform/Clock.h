#pragma once

#include <QDateTime>

// The one clock folia reads the time from, so that tests can set it (sign-in expiry,
// cache expiry, countdowns).
class Clock final {
public:
    Clock() = delete;

    static QDateTime now();
    // Whole seconds since 1970-01-01 00:00 UTC.
    static qint64 nowSecs();

    // Tests: pin the clock to a moment, move it, or give it back to the system.
    static void setNow(const QDateTime& fixed);
    static void advance(qint64 seconds);
    static void reset();
};
