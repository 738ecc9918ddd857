#include "engines/EGOImageLoader.h"

#include "engines/NetworkAccess.h"
#include <QBuffer>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QtDebug>

#include "engines/EGOCache.h"
#include "platform/Timing.h"

EGOImageLoaderObserver::~EGOImageLoaderObserver() = default;
void EGOImageLoaderObserver::imageLoaderDidLoad(const QUrl&, const QImage&) {}
void EGOImageLoaderObserver::imageLoaderDidFailToLoad(const QUrl&, const EGOImageLoadError&) {}

namespace {
QMutex& instanceLock() {
    static QMutex lock;
    return lock;
}

// FNV-1a over the UTF-8 address: stable across runs, so the cache files keep their names.
quint32 addressHash(const QByteArray& text) {
    quint32 h = 2166136261u;
    for (const char c : text) {
        h ^= static_cast<quint8>(c);
        h *= 16777619u;
    }
    return h;
}

QImage decodeImage(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer);
    return reader.read();
}
} // namespace

EGOImageLoader* EGOImageLoader::sharedImageLoader() {
    QMutexLocker locker(&instanceLock());
    static EGOImageLoader* loader = nullptr;
    if (!loader)
        loader = new EGOImageLoader();
    return loader;
}

QString EGOImageLoader::keyForURL(const QUrl& url) {
    return QStringLiteral("EGOImageLoader-%1").arg(addressHash(url.toString().toUtf8()));
}

EGOImageLoader::EGOImageLoader() : network_(NetworkAccess::manager()) {
    qRegisterMetaType<EGOImageLoadError>("EGOImageLoadError");
}

EGOImageLoader::~EGOImageLoader() {
    QMutexLocker locker(&connectionsLock_);
    for (Connection* c : std::as_const(currentConnections_)) {
        if (c->reply) {
            c->reply->disconnect(this);
            c->reply->abort();
            c->reply->deleteLater();
        }
        delete c;
    }
    currentConnections_.clear();
}

QImage EGOImageLoader::imageForURL(const QUrl& url, EGOImageLoaderObserver* observer) {
    if (url.isEmpty())
        return {};
    const QImage cached = EGOCache::currentCache()->imageForKey(keyForURL(url));
    if (!cached.isNull())
        return cached;
    loadImageForURL(url, observer);
    return {};
}

bool EGOImageLoader::hasLoadedImageURL(const QUrl& url) const {
    return EGOCache::currentCache()->hasCacheForKey(keyForURL(url));
}

void EGOImageLoader::loadImageForURL(const QUrl& url, EGOImageLoaderObserver* observer) {
    if (url.isEmpty())
        return;
    if (observer) {
        QList<EGOImageLoaderObserver*>& list = observers_[keyForURL(url)];
        if (!list.contains(observer))
            list.append(observer);
    }
    loadImageForURL(url);
}

void EGOImageLoader::loadImageForURL(const QUrl& url) {
    if (url.isEmpty())
        return;
    {
        QMutexLocker locker(&connectionsLock_);
        if (currentConnections_.contains(url))
            return; // one connection per address, whoever asks
        auto* connection = new Connection;
        connection->url = url;
        currentConnections_.insert(url, connection);
    }
    Timing::after(kStartDelayMs, this, [this, url] { startConnection(url); });
}

void EGOImageLoader::startConnection(const QUrl& url) {
    QMutexLocker locker(&connectionsLock_);
    Connection* connection = currentConnections_.value(url);
    if (!connection || connection->reply)
        return; // cancelled before it started
    QNetworkRequest request(url);
    // Qt asks for gzip itself (and inflates the answer); naming the header here would switch
    // that off.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferCache);
    request.setTransferTimeout(static_cast<int>(timeoutInterval_ * 1000));
    QNetworkReply* reply = network_->get(request);
    connection->reply = reply;
    connect(reply, &QNetworkReply::finished, this,
            [this, url, reply] { connectionFinished(url, reply); });
}

EGOImageLoader::Connection* EGOImageLoader::takeConnection(const QUrl& url) {
    QMutexLocker locker(&connectionsLock_);
    return currentConnections_.take(url);
}

void EGOImageLoader::connectionFinished(const QUrl& url, QNetworkReply* reply) {
    reply->deleteLater();
    Connection* connection = nullptr;
    {
        QMutexLocker locker(&connectionsLock_);
        connection = currentConnections_.value(url);
        if (!connection || connection->reply != reply)
            return; // cancelled: the entry belongs to nobody or to a newer load
        currentConnections_.remove(url);
    }
    delete connection;

    if (reply->error() != QNetworkReply::NoError) {
        postFailed(url, {QStringLiteral("QNetworkReply"), static_cast<int>(reply->error()),
                         reply->errorString()});
        return;
    }
    const QByteArray data = reply->readAll();
    const QImage image = decodeImage(data);
    if (image.isNull()) {
        postFailed(url, {url.host(), 406, QStringLiteral("not an image")});
        return;
    }
    EGOCache::currentCache()->setData(data, keyForURL(url), kImageCacheInterval);
    postLoaded(url, image);
}

void EGOImageLoader::cancelLoadForURL(const QUrl& url) {
    Connection* connection = takeConnection(url);
    if (!connection)
        return;
    if (connection->reply) {
        connection->reply->disconnect(this);
        connection->reply->abort();
        connection->reply->deleteLater();
    }
    delete connection;
}

void EGOImageLoader::removeObserver(EGOImageLoaderObserver* observer, const QUrl& url) {
    const QString key = keyForURL(url);
    auto it = observers_.find(key);
    if (it == observers_.end())
        return;
    it->removeAll(observer);
    if (it->isEmpty())
        observers_.erase(it);
}

void EGOImageLoader::removeObserver(EGOImageLoaderObserver* observer) {
    for (auto it = observers_.begin(); it != observers_.end();) {
        it->removeAll(observer);
        if (it->isEmpty())
            it = observers_.erase(it);
        else
            ++it;
    }
}

bool EGOImageLoader::hasObservers(const QUrl& url) const {
    return observers_.contains(keyForURL(url));
}

int EGOImageLoader::connectionCount() const {
    QMutexLocker locker(&connectionsLock_);
    return static_cast<int>(currentConnections_.size());
}

bool EGOImageLoader::isLoadingURL(const QUrl& url) const {
    QMutexLocker locker(&connectionsLock_);
    return currentConnections_.contains(url);
}

void EGOImageLoader::postLoaded(const QUrl& url, const QImage& image) {
    const QString key = keyForURL(url);
    Q_EMIT imageLoaded(key, url, image);
    // A copy: observers usually stop observing from inside their handler.
    const QList<EGOImageLoaderObserver*> waiting = observers_.value(key);
    for (EGOImageLoaderObserver* observer : waiting) {
        if (observers_.value(key).contains(observer))
            observer->imageLoaderDidLoad(url, image);
    }
}

void EGOImageLoader::postFailed(const QUrl& url, const EGOImageLoadError& error) {
    const QString key = keyForURL(url);
    qInfo("EGOImageLoader: %s failed: %s (%d)", qPrintable(url.toString()),
          qPrintable(error.message), error.code);
    Q_EMIT imageLoadFailed(key, url, error);
    const QList<EGOImageLoaderObserver*> waiting = observers_.value(key);
    for (EGOImageLoaderObserver* observer : waiting) {
        if (observers_.value(key).contains(observer))
            observer->imageLoaderDidFailToLoad(url, error);
    }
}
