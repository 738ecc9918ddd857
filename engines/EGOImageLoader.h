#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Why an image did not arrive: the network's own error, or, for an answer that is not an
// image, the address's host as domain and the code 406.
struct EGOImageLoadError {
    QString domain;
    int code = 0;
    QString message;
};

// What waits for the images of an address. Both handlers are optional.
class EGOImageLoaderObserver {
public:
    virtual ~EGOImageLoaderObserver();
    virtual void imageLoaderDidLoad(const QUrl& imageURL, const QImage& image);
    virtual void imageLoaderDidFailToLoad(const QUrl& imageURL, const EGOImageLoadError& error);
};

// The one loader of remote images (covers). It fetches each address once at a time, keeps
// what it loaded in the disk cache (EGOCache) for seven days, and tells whoever waits. The
// notifications are the signals below, keyed by the address's image key; the registered
// observers of that key are told as well. Main thread only.
class EGOImageLoader final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EGOImageLoader)

public:
    static constexpr int kTimeoutInterval = 30;           // seconds
    static constexpr qint64 kImageCacheInterval = 604800; // seven days
    static constexpr int kStartDelayMs = 10;

    static EGOImageLoader* sharedImageLoader();
    // "EGOImageLoader-%u" with a 32-bit hash of the address text: the cache key.
    static QString keyForURL(const QUrl& url);

    ~EGOImageLoader() override;

    // The cached image of the address; otherwise registers the observer, starts a load and
    // gives a null image.
    QImage imageForURL(const QUrl& url, EGOImageLoaderObserver* observer);
    bool hasLoadedImageURL(const QUrl& url) const;
    void loadImageForURL(const QUrl& url, EGOImageLoaderObserver* observer);
    void loadImageForURL(const QUrl& url);
    void cancelLoadForURL(const QUrl& url);
    void removeObserver(EGOImageLoaderObserver* observer, const QUrl& url);
    void removeObserver(EGOImageLoaderObserver* observer);
    bool hasObservers(const QUrl& url) const;

    // Addresses being fetched right now (one connection each).
    int connectionCount() const;
    bool isLoadingURL(const QUrl& url) const;

    // For tests: the network time-out in seconds for loads started from now on.
    void setTimeoutInterval(double seconds) { timeoutInterval_ = seconds; }

Q_SIGNALS:
    // kEGOImageLoaderNotificationLoaded-<key>
    void imageLoaded(const QString& key, const QUrl& imageURL, const QImage& image);
    // kEGOImageLoaderNotificationLoadFailed-<key>
    void imageLoadFailed(const QString& key, const QUrl& imageURL, const EGOImageLoadError& error);

private:
    struct Connection {
        QUrl url;
        QNetworkReply* reply = nullptr;
        bool cancelled = false;
    };

    EGOImageLoader();
    void startConnection(const QUrl& url);
    void connectionFinished(const QUrl& url, QNetworkReply* reply);
    Connection* takeConnection(const QUrl& url);
    void postLoaded(const QUrl& url, const QImage& image);
    void postFailed(const QUrl& url, const EGOImageLoadError& error);

    QNetworkAccessManager* network_;
    double timeoutInterval_ = kTimeoutInterval;
    mutable QMutex connectionsLock_;
    QHash<QUrl, Connection*> currentConnections_;
    QHash<QString, QList<EGOImageLoaderObserver*>> observers_;
};
