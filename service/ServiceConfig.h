#pragma once

#include <QString>

// Where the book service and the app-store lookup live. Set once at start-up from the
// command line or the environment (app/), read by the screens when they compose URLs.
class ServiceConfig final {
public:
    ServiceConfig() = delete;

    // The service base URL: scheme and host (and port), no trailing slash.
    static QString baseUrl();
    static void setBaseUrl(const QString& url);

    // The lookup base: "<lookup base>/lookup?id=<store id>" answers the version check.
    static QString lookupBase();
    static void setLookupBase(const QString& url);
    static QString storeId();
    static void setStoreId(const QString& id);
};
