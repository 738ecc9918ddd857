#include "widgets/EGOImageView.h"

#include <QPainter>

EGOImageViewDelegate::~EGOImageViewDelegate() = default;
void EGOImageViewDelegate::imageViewLoadedImage(EGOImageView*) {}
void EGOImageViewDelegate::imageViewFailedToLoadImage(EGOImageView*, const EGOImageLoadError&) {}

EGOImageView::EGOImageView(const QPixmap& placeholderImage, EGOImageViewDelegate* delegate,
                           QWidget* parent)
    : QWidget(parent), placeholderImage_(placeholderImage), image_(placeholderImage),
      delegate_(delegate) {
    setObjectName(QStringLiteral("egoImageView"));
}

EGOImageView::~EGOImageView() {
    EGOImageLoader::sharedImageLoader()->removeObserver(this);
}

void EGOImageView::setPlaceholderImage(const QPixmap& image) {
    placeholderImage_ = image;
    if (showsPlaceholder_)
        showPlaceholder();
}

void EGOImageView::setImage(const QPixmap& image) {
    image_ = image;
    showsPlaceholder_ = false;
    update();
}

void EGOImageView::showPlaceholder() {
    image_ = placeholderImage_;
    showsPlaceholder_ = true;
    update();
}

void EGOImageView::setImageURL(const QUrl& imageURL) {
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
    loader->removeObserver(this, imageURL);
    setImage(QPixmap::fromImage(cached));
    if (delegate_)
        delegate_->imageViewLoadedImage(this);
}

void EGOImageView::cancelImageLoad() {
    if (imageURL_.isEmpty())
        return;
    EGOImageLoader* loader = EGOImageLoader::sharedImageLoader();
    loader->removeObserver(this, imageURL_);
    // Another view may still wait for the same address; its load goes on.
    if (!loader->hasObservers(imageURL_))
        loader->cancelLoadForURL(imageURL_);
    imageURL_.clear();
}

void EGOImageView::imageLoaderDidLoad(const QUrl& imageURL, const QImage& image) {
    if (imageURL != imageURL_)
        return;
    EGOImageLoader::sharedImageLoader()->removeObserver(this, imageURL);
    setImage(QPixmap::fromImage(image));
    if (delegate_)
        delegate_->imageViewLoadedImage(this);
}

void EGOImageView::imageLoaderDidFailToLoad(const QUrl& imageURL, const EGOImageLoadError& error) {
    if (imageURL != imageURL_)
        return;
    EGOImageLoader::sharedImageLoader()->removeObserver(this, imageURL);
    if (delegate_)
        delegate_->imageViewFailedToLoadImage(this, error);
}

void EGOImageView::paintEvent(QPaintEvent*) {
    if (image_.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), image_);
}
