#include "service/ServiceConfig.h"

namespace {
QString withoutTrailingSlash(QString url) {
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    return url;
}

struct Config {
    QString baseUrl = withoutTrailingSlash(QStringLiteral(FOLIA_DEFAULT_SERVICE_URL));
    QString lookupBase = withoutTrailingSlash(QStringLiteral(FOLIA_DEFAULT_LOOKUP_URL));
    QString storeId = QStringLiteral(FOLIA_STORE_ID);
};

Config& config() {
    static Config c;
    return c;
}
} // namespace

QString ServiceConfig::baseUrl() {
    return config().baseUrl;
}

void ServiceConfig::setBaseUrl(const QString& url) {
    config().baseUrl = withoutTrailingSlash(url.trimmed());
}

QString ServiceConfig::lookupBase() {
    return config().lookupBase;
}

void ServiceConfig::setLookupBase(const QString& url) {
    config().lookupBase = withoutTrailingSlash(url.trimmed());
}

QString ServiceConfig::storeId() {
    return config().storeId;
}

void ServiceConfig::setStoreId(const QString& id) {
    config().storeId = id.trimmed();
}
