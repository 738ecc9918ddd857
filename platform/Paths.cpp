#include "platform/Paths.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString& homeOverride() {
    static QString home;
    return home;
}

QString home() {
    if (!homeOverride().isEmpty())
        return homeOverride();
    return qEnvironmentVariable("FOLIA_HOME");
}

QString ensured(const QString& path) {
    QDir().mkpath(path);
    return path;
}
} // namespace

QString Paths::documentsDir() {
    const QString h = home();
    if (!h.isEmpty())
        return ensured(h + QStringLiteral("/documents"));
    return ensured(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                   QStringLiteral("/documents"));
}

QString Paths::cachesDir() {
    const QString h = home();
    if (!h.isEmpty())
        return ensured(h + QStringLiteral("/caches"));
    return ensured(QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
}

QString Paths::preferencesDir() {
    const QString h = home();
    if (!h.isEmpty())
        return ensured(h + QStringLiteral("/preferences"));
    return ensured(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

void Paths::setHome(const QString& folder) {
    homeOverride() = folder;
}
