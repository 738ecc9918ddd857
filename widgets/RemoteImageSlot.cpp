#include "widgets/RemoteImageSlot.h"

#include <QPainter>
#include <utility>

RemoteImageSlot::RemoteImageSlot(const QPixmap& placeholderImage, Handlers handlers)
    : placeholderImage_(placeholderImage), image_(placeholderImage),
      handlers_(std::move(handlers)) {}

RemoteImageSlot::~RemoteImageSlot() {
    EGOImageLoader::sharedImageLoader()->removeObserver(this);
}

void RemoteImageSlot::changed() {
    if (handlers_.changed)
        handlers_.changed();
}

void RemoteImageSlot::setPlaceholderImage(const QPixmap& image) {
    placeholderImage_ = image;
    if (showsPlaceholder_)
        showPlaceholder();
}

void RemoteImageSlot::setImage(const QPixmap& image) {
    image_ = image;
    showsPlaceholder_ = false;
    changed();
}

void RemoteImageSlot::showPlaceholder() {
    image_ = placeholderImage_;
    showsPlaceholder_ = true;
    changed();
}

void RemoteImageSlot::loaded(const QImage& image) {
    EGOImageLoader::sharedImageLoader()->removeObserver(this, imageURL_);
    setImage(QPixmap::fromImage(image));
    if (handlers_.loaded)
        handlers_.loaded();
}

void RemoteImageSlot::setImageURL(const QUrl& imageURL) {
    EGOImageLoader* loader = EGOImageLoader::sharedImageLoader();
    if (!imageURL_.isEmpty() && imageURL_ != imageURL)
        loader->removeObserver(this, imageURL_);
    imageURL_ = imageURL;
    if (imageURL.isEmpty()) {
        showPlaceholder();
        return;
    }
    const QImage cached = loader->imageForURL(imageURL, this);
    if (cached.isNull()) {
        showPlaceholder();
        return;
    }
    loaded(cached);
}

void RemoteImageSlot::cancelImageLoad() {
    if (imageURL_.isEmpty())
        return;
    EGOImageLoader* loader = EGOImageLoader::sharedImageLoader();
    loader->removeObserver(this, imageURL_);
    // Another view may still wait for the same address; its load goes on.
    if (!loader->hasObservers(imageURL_))
        loader->cancelLoadForURL(imageURL_);
    imageURL_.clear();
}

void RemoteImageSlot::imageLoaderDidLoad(const QUrl& imageURL, const QImage& image) {
    if (imageURL != imageURL_)
        return;
    loaded(image);
}

void RemoteImageSlot::imageLoaderDidFailToLoad(const QUrl& imageURL,
                                               const EGOImageLoadError& error) {
    if (imageURL != imageURL_)
        return;
    EGOImageLoader::sharedImageLoader()->removeObserver(this, imageURL);
    if (handlers_.failed)
        handlers_.failed(error);
}

bool RemoteImageSlot::draw(QPainter& painter, const QRect& target) const {
    if (image_.isNull())
        return false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, image_);
    return true;
}
