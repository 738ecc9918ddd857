#include "platform/ui/StretchableImage.h"

#include <QPainter>
#include <algorithm>

#include "platform/Images.h"

StretchableImage::StretchableImage(const QPixmap& pixmap, const QMargins& caps)
    : pixmap_(pixmap), caps_(caps) {}

StretchableImage StretchableImage::withLeftCapTopCap(const QPixmap& pixmap, int leftCap,
                                                     int topCap) {
    const QSizeF size = pixmap.deviceIndependentSize();
    const int w = int(size.width());
    const int h = int(size.height());
    const int right = leftCap > 0 ? std::max(0, w - leftCap - 1) : 0;
    const int bottom = topCap > 0 ? std::max(0, h - topCap - 1) : 0;
    return StretchableImage(pixmap, QMargins(leftCap, topCap, right, bottom));
}

StretchableImage StretchableImage::named(const QString& name, const QMargins& caps) {
    return StretchableImage(Images::named(name), caps);
}

void StretchableImage::draw(QPainter& painter, const QRect& target) const {
    if (pixmap_.isNull() || target.isEmpty())
        return;
    const qreal dpr = pixmap_.devicePixelRatio();
    const QSizeF natural = pixmap_.deviceIndependentSize();
    // Caps never take more than the target (or the image) has room for.
    const int l = std::min<int>(caps_.left(), std::min<int>(target.width() / 2, natural.width()));
    const int r =
        std::min<int>(caps_.right(), std::min<int>(target.width() - l, natural.width() - l));
    const int t = std::min<int>(caps_.top(), std::min<int>(target.height() / 2, natural.height()));
    const int b =
        std::min<int>(caps_.bottom(), std::min<int>(target.height() - t, natural.height() - t));
    const qreal sw = natural.width();
    const qreal sh = natural.height();
    const qreal xs[4] = {0, qreal(l), sw - r, sw};
    const qreal ys[4] = {0, qreal(t), sh - b, sh};
    const qreal xd[4] = {qreal(target.left()), qreal(target.left() + l),
                         qreal(target.left() + target.width() - r),
                         qreal(target.left() + target.width())};
    const qreal yd[4] = {qreal(target.top()), qreal(target.top() + t),
                         qreal(target.top() + target.height() - b),
                         qreal(target.top() + target.height())};
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const QRectF src(xs[i] * dpr, ys[j] * dpr, (xs[i + 1] - xs[i]) * dpr,
                             (ys[j + 1] - ys[j]) * dpr);
            const QRectF dst(xd[i], yd[j], xd[i + 1] - xd[i], yd[j + 1] - yd[j]);
            if (src.width() <= 0 || src.height() <= 0 || dst.width() <= 0 || dst.height() <= 0)
                continue;
            painter.drawPixmap(dst, pixmap_, src);
        }
    }
    painter.restore();
}

void StretchableImage::drawPattern(QPainter& painter, const QRect& target, const QPixmap& pixmap) {
    if (pixmap.isNull() || target.isEmpty())
        return;
    painter.drawTiledPixmap(target, pixmap);
}
