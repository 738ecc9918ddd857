#include "platform/ui/ImageView.h"

#include <QPainter>

#include "platform/Images.h"

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

ImageView::~ImageView() = default;

void ImageView::setImage(const QPixmap& pixmap, Mode mode) {
    image_ = StretchableImage(pixmap, {});
    mode_ = mode;
    update();
}

void ImageView::setImage(const StretchableImage& image) {
    image_ = image;
    mode_ = Mode::Stretch;
    update();
}

void ImageView::setImageNamed(const QString& name, const QMargins& caps) {
    name_ = name;
    setImage(StretchableImage::named(name, caps));
}

void ImageView::setPatternNamed(const QString& name) {
    name_ = name;
    setImage(Images::named(name), Mode::Pattern);
}

void ImageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    switch (mode_) {
    case Mode::Stretch:
        image_.draw(painter, rect());
        break;
    case Mode::Pattern:
        StretchableImage::drawPattern(painter, rect(), image_.pixmap());
        break;
    case Mode::AspectFit: {
        const QPixmap pm = image_.pixmap();
        if (pm.isNull())
            break;
        QSizeF size = pm.deviceIndependentSize();
        size.scale(QSizeF(rect().size()), Qt::KeepAspectRatio);
        const QRectF dst(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2),
                         size);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(dst, pm, QRectF(pm.rect()));
        break;
    }
    }
}
