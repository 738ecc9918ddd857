#include "platform/Localizable.h"

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QTranslator>
#include <QtDebug>

namespace {

const char* const kContext = "Localizable";

struct Table {
    QMutex mutex;
    QTranslator translator;
    bool loaded = false;
    bool tried = false;
    bool installed = false;
};

Table& table() {
    static Table t;
    return t;
}

// Loads the compiled table once; lookups work with or without install(), from any thread.
bool ensureLoaded(Table& t) {
    if (!t.tried) {
        t.tried = true;
        t.loaded = t.translator.load(QStringLiteral(":/translations/folia_zh_CN.qm"));
        if (!t.loaded)
            qWarning("Localizable: the display-text table could not be loaded");
    }
    return t.loaded;
}

} // namespace

bool Localizable::install() {
    Table& t = table();
    QMutexLocker lock(&t.mutex);
    if (!ensureLoaded(t) || QCoreApplication::instance() == nullptr)
        return false;
    if (!t.installed)
        t.installed = QCoreApplication::installTranslator(&t.translator);
    return t.installed;
}

QString Localizable::text(const char* key) {
    if (key == nullptr || *key == '\0')
        return QString();
    Table& t = table();
    {
        QMutexLocker lock(&t.mutex);
        if (ensureLoaded(t)) {
            const QString found = t.translator.translate(kContext, key);
            if (!found.isEmpty())
                return found;
        }
    }
    // Other installed tables may know the key; a key without an entry shows itself.
    return QCoreApplication::translate(kContext, key);
}

QString Localizable::text(const QString& key) {
    return text(key.toUtf8().constData());
}
