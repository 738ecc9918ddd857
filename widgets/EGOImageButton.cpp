#include "widgets/EGOImageButton.h"

#include <QPainter>

EGOImageButtonDelegate::~EGOImageButtonDelegate() = default;
void EGOImageButtonDelegate::imageButtonLoadedImage(EGOImageButton*) {}
void EGOImageButtonDelegate::imageButtonFailedToLoadImage(EGOImageButton*,
                                                          const EGOImageLoadError&) {}

EGOImageButton::EGOImageButton(const QPixmap& placeholderImage, EGOImageButtonDelegate* delegate,
                               QWidget* parent)
    : QAbstractButton(parent), placeholderImage_(placeholderImage), image_(placeholderImage),
      delegate_(delegate) {
    setObjectName(QStringLiteral("egoImageButton"));
}

EGOImageButton::~EGOImageButton() {
    EGOImageLoader::sharedImageLoader()->removeObserver(this);
}

void EGOImageButton::setPlaceholderImage(const QPixmap& image) {
    placeholderImage_ = image;
    if (showsPlaceholder_)
        showPlaceholder();
}

void EGOImageButton::setImage(const QPixmap& image) {
    image_ = image;
    showsPlaceholder_ = false;
    update();
}

void EGOImageButton::showPlaceholder() {
    image_ = placeholderImage_;
    showsPlaceholder_ = true;
    update();
}

void EGOImageButton::setImageURL(const QUrl& imageURL) {
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
        delegate_->imageButtonLoadedImage(this);
}

void EGOImageButton::cancelImageLoad() {
    if (imageURL_.isEmpty())
        return;
    EGOImageLoader* loader = EGOImageLoader::sharedImageLoader();
    loader->removeObserver(this, imageURL_);
    // Another view may still wait for the same address; its load goes on.
    if (!loader->hasObservers(imageURL_))
        loader->cancelLoadForURL(imageURL_);
    imageURL_.clear();
}

void EGOImageButton::imageLoaderDidLoad(const QUrl& imageURL, const QImage& image) {
    if (imageURL != imageURL_)
        return;
    EGOImageLoader::sharedImageLoader()->removeObserver(this, imageURL);
    setImage(QPixmap::fromImage(image));
    if (delegate_)
        delegate_->imageButtonLoadedImage(this);
}

void EGOImageButton::imageLoaderDidFailToLoad(const QUrl& imageURL,
                                              const EGOImageLoadError& error) {
    if (imageURL != imageURL_)
        return;
    EGOImageLoader::sharedImageLoader()->removeObserver(this, imageURL);
    if (delegate_)
        delegate_->imageButtonFailedToLoadImage(this, error);
}

void EGOImageButton::paintEvent(QPaintEvent*) {
    if (image_.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), image_);
    if (isDown())
        p.fillRect(rect(), QColor(0, 0, 0, 80)); // the pressed look of an image button
}

QSize EGOImageButton::sizeHint() const {
    return image_.isNull() ? QSize(60, 80) : image_.deviceIndependentSize().toSize();
}
