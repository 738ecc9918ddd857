#include "widgets/EGOImageView.h"

#include <QPainter>

EGOImageViewDelegate::~EGOImageViewDelegate() = default;
void EGOImageViewDelegate::imageViewLoadedImage(EGOImageView*) {}
void EGOImageViewDelegate::imageViewFailedToLoadImage(EGOImageView*, const EGOImageLoadError&) {}

EGOImageView::EGOImageView(const QPixmap& placeholderImage, EGOImageViewDelegate* delegate,
                           QWidget* parent)
    : QWidget(parent), delegate_(delegate),
      slot_(placeholderImage,
            RemoteImageSlot::forView(this, &delegate_, &EGOImageViewDelegate::imageViewLoadedImage,
                                     &EGOImageViewDelegate::imageViewFailedToLoadImage)) {
    setObjectName(QStringLiteral("egoImageView"));
}

EGOImageView::~EGOImageView() = default;

void EGOImageView::paintEvent(QPaintEvent*) {
    const QPixmap image = slot_.image();
    if (image.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), image);
}
