#include "widgets/EGOImageButton.h"

#include <QPainter>

EGOImageButtonDelegate::~EGOImageButtonDelegate() = default;
void EGOImageButtonDelegate::imageButtonLoadedImage(EGOImageButton*) {}
void EGOImageButtonDelegate::imageButtonFailedToLoadImage(EGOImageButton*,
                                                          const EGOImageLoadError&) {}

EGOImageButton::EGOImageButton(const QPixmap& placeholderImage, EGOImageButtonDelegate* delegate,
                               QWidget* parent)
    : QAbstractButton(parent), delegate_(delegate),
      slot_(placeholderImage, RemoteImageSlot::forView(
                                  this, &delegate_, &EGOImageButtonDelegate::imageButtonLoadedImage,
                                  &EGOImageButtonDelegate::imageButtonFailedToLoadImage)) {
    setObjectName(QStringLiteral("egoImageButton"));
}

EGOImageButton::~EGOImageButton() = default;

void EGOImageButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (slot_.draw(p, rect()) && isDown())
        p.fillRect(rect(), QColor(0, 0, 0, 80)); // the pressed look of an image button
}

QSize EGOImageButton::sizeHint() const {
    const QPixmap image = slot_.image();
    return image.isNull() ? QSize(60, 80) : image.deviceIndependentSize().toSize();
}
