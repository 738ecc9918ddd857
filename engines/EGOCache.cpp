#include "engines/EGOCache.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QThreadPool>
#include <QTimer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <QtDebug>

#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/Timing.h"

namespace {

const QString kIndexName = QStringLiteral("EGOCache.plist");

QMutex& instanceLock() {
    static QMutex lock;
    return lock;
}

EGOCache*& instance() {
    static EGOCache* cache = nullptr;
    return cache;
}

// The index is an XML property list: <plist><dict><key>k</key><date>ISO UTC</date>…</dict>.
QHash<QString, QDateTime> readIndexFile(const QString& path) {
    QHash<QString, QDateTime> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QXmlStreamReader xml(&file);
    QString key;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("key")) {
            key = xml.readElementText();
        } else if (xml.name() == QLatin1String("date") && !key.isEmpty()) {
            const QDateTime when = QDateTime::fromString(xml.readElementText(), Qt::ISODate);
            if (when.isValid())
                entries.insert(key, when);
            key.clear();
        }
    }
    if (xml.hasError())
        qWarning("EGOCache: unreadable index %s: %s", qPrintable(path),
                 qPrintable(xml.errorString()));
    return entries;
}

bool writeIndexFile(const QString& path, const QHash<QString, QDateTime>& entries) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"));
    xml.writeStartElement(QStringLiteral("plist"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    xml.writeStartElement(QStringLiteral("dict"));
    QStringList keys = entries.keys();
    keys.sort();
    for (const QString& key : std::as_const(keys)) {
        xml.writeTextElement(QStringLiteral("key"), key);
        xml.writeTextElement(QStringLiteral("date"),
                             entries.value(key).toUTC().toString(Qt::ISODate));
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return file.commit();
}

// Changes of the last 0.3 s before the application ends would otherwise have no index line,
// and their files would never expire.
void flushAtExit() {
    QMutexLocker locker(&instanceLock());
    if (instance())
        instance()->flush();
}

} // namespace

EGOCache* EGOCache::currentCache() {
    QMutexLocker locker(&instanceLock());
    if (!instance()) {
        static const bool hooked = [] {
            qAddPostRoutine(&flushAtExit);
            return true;
        }();
        Q_UNUSED(hooked);
        QString app = QCoreApplication::applicationName();
        if (app.isEmpty())
            app = QStringLiteral("folia");
        instance() =
            new EGOCache(Paths::cachesDir() + QLatin1Char('/') + app + QStringLiteral("/EGOCache"));
        if (QCoreApplication* application = QCoreApplication::instance())
            connect(application, &QCoreApplication::aboutToQuit, instance(), &EGOCache::flush);
    }
    return instance();
}

void EGOCache::releaseCurrentCache() {
    QMutexLocker locker(&instanceLock());
    delete instance();
    instance() = nullptr;
}

EGOCache::EGOCache(const QString& directory)
    : directory_(directory), diskQueue_(new QThreadPool(this)), indexTimer_(new QTimer(this)) {
    diskQueue_->setMaxThreadCount(1);
    indexTimer_->setSingleShot(true);
    connect(indexTimer_, &QTimer::timeout, this, &EGOCache::writeIndex);
    if (!QDir().mkpath(directory_))
        qWarning("EGOCache: cannot create %s", qPrintable(directory_));
    loadIndex();
    removeExpiredEntries();
    removeUnindexedFiles();
}

EGOCache::~EGOCache() {
    diskQueue_->waitForDone();
    if (indexTimer_->isActive())
        writeIndex();
}

bool EGOCache::isUsableKey(const QString& key) {
    // A key names a file of the cache directory: nothing that leaves it or hides the index.
    return !key.isEmpty() && key != kIndexName && key != QLatin1String(".") &&
           key != QLatin1String("..") && !key.contains(QLatin1Char('/')) &&
           !key.contains(QLatin1Char('\\')) && !key.contains(QChar(0));
}

QString EGOCache::pathForKey(const QString& key) const {
    return directory_ + QLatin1Char('/') + key;
}

void EGOCache::loadIndex() {
    index_ = readIndexFile(pathForKey(kIndexName));
}

void EGOCache::removeExpiredEntries() {
    const QDateTime now = Clock::now();
    bool changed = false;
    for (auto it = index_.begin(); it != index_.end();) {
        if (it.value() < now) {
            if (isUsableKey(it.key()))
                QFile::remove(pathForKey(it.key()));
            it = index_.erase(it);
            changed = true;
        } else {
            ++it;
        }
    }
    if (changed)
        scheduleIndexWrite();
}

// Files the index does not know (written by a run that ended before its index was) would
// never expire; they are removed when the cache is created.
void EGOCache::removeUnindexedFiles() {
    const QFileInfoList files =
        QDir(directory_).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files) {
        const QString name = file.fileName();
        if (name != kIndexName && !index_.contains(name))
            QFile::remove(file.filePath());
    }
}

bool EGOCache::hasCacheForKey(const QString& key) const {
    if (!isUsableKey(key))
        return false;
    const auto it = index_.constFind(key);
    if (it == index_.constEnd() || it.value() <= Clock::now())
        return false;
    return QFileInfo::exists(pathForKey(key));
}

QByteArray EGOCache::dataForKey(const QString& key) const {
    if (!isUsableKey(key))
        return {};
    QFile file(pathForKey(key));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QImage EGOCache::imageForKey(const QString& key) const {
    if (!isUsableKey(key))
        return {};
    return QImage(pathForKey(key));
}

bool EGOCache::setData(const QByteArray& data, const QString& key) {
    return setData(data, key, defaultTimeoutInterval_);
}

bool EGOCache::setData(const QByteArray& data, const QString& key, qint64 timeoutInterval) {
    if (!isUsableKey(key)) {
        qWarning("EGOCache: refused key %s", qPrintable(key));
        return false;
    }
    const QString path = pathForKey(key);
    diskQueue_->start([path, data] {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
            qWarning("EGOCache: cannot write %s", qPrintable(path));
    });
    index_.insert(key, Clock::now().addSecs(timeoutInterval));
    scheduleIndexWrite();
    return true;
}

void EGOCache::removeCacheForKey(const QString& key) {
    if (!isUsableKey(key))
        return;
    const QString path = pathForKey(key);
    // Through the queue, so that a write still waiting there cannot bring the file back.
    diskQueue_->start([path] { QFile::remove(path); });
    index_.remove(key);
    scheduleIndexWrite();
}

QDateTime EGOCache::expiryDateForKey(const QString& key) const {
    return index_.value(key);
}

void EGOCache::flush() {
    diskQueue_->waitForDone();
    if (indexTimer_->isActive()) {
        indexTimer_->stop();
        writeIndex();
    }
}

void EGOCache::scheduleIndexWrite() {
    // Restarting the timer postpones the write: one write per pause of 0.3 s in the changes.
    indexTimer_->start(Timing::scaled(kIndexWriteDelayMs));
}

void EGOCache::writeIndex() {
    if (!writeIndexFile(pathForKey(kIndexName), index_))
        qWarning("EGOCache: cannot write the index in %s", qPrintable(directory_));
}
