#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QString>

class QThreadPool;
class QTimer;

// The disk cache behind the remote images: one shared instance, its files in
// <caches>/<application name>/EGOCache, each entry a file named after its key, and an index
// "EGOCache.plist" (an XML property list: a dictionary from key to expiry date) that says how
// long each entry stays. Used on the main thread; only the file writes run elsewhere, on the
// cache's own one-thread queue.
class EGOCache final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EGOCache)

public:
    static constexpr qint64 kDefaultTimeoutInterval = 86400; // one day
    static constexpr int kIndexWriteDelayMs = 300;

    // The shared cache, created on first use; creating it removes the expired entries and the
    // files the index does not know. Its pending index is written when the application quits.
    static EGOCache* currentCache();
    // Forgets the shared cache (its pending writes are finished first), so that the next
    // currentCache() creates it again as the next launch would. Tests and benchmarks only.
    static void releaseCurrentCache();

    ~EGOCache() override;

    QString directory() const { return directory_; }
    qint64 defaultTimeoutInterval() const { return defaultTimeoutInterval_; }
    void setDefaultTimeoutInterval(qint64 seconds) { defaultTimeoutInterval_ = seconds; }

    // True when the key is in the index, has not expired and its file exists.
    bool hasCacheForKey(const QString& key) const;
    // The stored bytes of a key, whatever its expiry date; empty when there is no file.
    QByteArray dataForKey(const QString& key) const;
    // The stored image of a key, whatever its expiry date; null when there is none.
    QImage imageForKey(const QString& key) const;

    // Stores data under a key for the interval (seconds) from now. The file is written on the
    // cache's queue; the index is written once the changes have paused for 0.3 s.
    // Returns false (and stores nothing) for a key that cannot name a file of the cache.
    bool setData(const QByteArray& data, const QString& key, qint64 timeoutInterval);
    bool setData(const QByteArray& data, const QString& key);
    void removeCacheForKey(const QString& key);

    // The expiry date of a key, invalid when the key is not in the index.
    QDateTime expiryDateForKey(const QString& key) const;
    // Blocks until the queued file writes are done; writes the index now if a write is due.
    void flush();

private:
    explicit EGOCache(const QString& directory);

    static bool isUsableKey(const QString& key);
    QString pathForKey(const QString& key) const;
    void loadIndex();
    void removeExpiredEntries();
    void removeUnindexedFiles();
    void scheduleIndexWrite();
    void writeIndex();

    QString directory_;
    qint64 defaultTimeoutInterval_ = kDefaultTimeoutInterval;
    QHash<QString, QDateTime> index_;
    QThreadPool* diskQueue_ = nullptr;
    QTimer* indexTimer_ = nullptr;
};
