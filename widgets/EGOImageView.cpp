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
    QPainter p(this);
    slot_.draw(p, rect());
}
