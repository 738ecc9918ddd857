#include "widgets/WEPopoverContainerView.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include "platform/Images.h"
#include "platform/ui/StretchableImage.h"

namespace {
constexpr int kScreenMargin = 4;
const QColor kFallbackPanelColor(40, 40, 40);

int rotationFromDown(int direction) {
    switch (direction) {
    case WEPopoverContainerView::ArrowUp:
        return 180;
    case WEPopoverContainerView::ArrowLeft:
        return 90;
    case WEPopoverContainerView::ArrowRight:
        return 270;
    default:
        return 0;
    }
}
// The image with its see-through middle made solid: every pixel's opacity scaled so that the
// middle's becomes full, which keeps the soft edges soft.
QPixmap solidified(const QPixmap& pixmap) {
    if (pixmap.isNull())
        return pixmap;
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const int middle = qAlpha(image.pixel(image.width() / 2, image.height() / 2));
    if (middle == 0 || middle == 255)
        return pixmap;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qMin(255, qAlpha(line[x]) * 255 / middle);
            line[x] = qRgba(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), alpha);
        }
    }
    QPixmap solid = QPixmap::fromImage(image);
    solid.setDevicePixelRatio(pixmap.devicePixelRatio());
    return solid;
}
} // namespace

WEPopoverContainerViewProperties WEPopoverContainerViewProperties::standard() {
    WEPopoverContainerViewProperties p;
    p.bgImage = Images::named(QStringLiteral("read_tanchuBg"));
    p.arrowImage = Images::named(QStringLiteral("read_tanchuBg_jiantou"));
    p.bottomBgMargin = 6;
    p.leftBgCapSize = 31;
    p.topBgCapSize = 31;
    p.leftContentMargin = 4;
    p.rightContentMargin = 3;
    p.topContentMargin = 4;
    p.bottomContentMargin = 4;
    p.arrowMargin = 0;
    return p;
}

WEPopoverContainerView::WEPopoverContainerView(const WEPopoverContainerViewProperties& properties,
                                               QWidget* parent)
    : QWidget(parent), properties_(properties), panelColor_(kFallbackPanelColor) {
    setObjectName(QStringLiteral("popoverContainerView"));
    // The panel hides what lies behind it, whatever the images' own opacity.
    properties_.bgImage = solidified(properties_.bgImage);
    properties_.arrowImage = solidified(properties_.arrowImage);
    // The middle of the background image is the panel's colour; the content sits on it.
    if (!properties_.bgImage.isNull()) {
        const QImage bg = properties_.bgImage.toImage();
        const QColor middle = bg.pixelColor(bg.width() / 2, bg.height() / 2);
        if (middle.alpha() > 0)
            panelColor_ = middle;
    }
    panelColor_.setAlpha(255);
}

WEPopoverContainerView::~WEPopoverContainerView() = default;

QPixmap WEPopoverContainerView::arrowFor(ArrowDirection direction) const {
    if (properties_.arrowImage.isNull())
        return {};
    const int turn =
        (rotationFromDown(direction) - rotationFromDown(properties_.arrowImageDirection) + 360) %
        360;
    if (turn == 0)
        return properties_.arrowImage;
    QPixmap turned = properties_.arrowImage.transformed(QTransform().rotate(turn));
    turned.setDevicePixelRatio(properties_.arrowImage.devicePixelRatio());
    return turned;
}

WEPopoverContainerView::Placement WEPopoverContainerView::placementFor(ArrowDirection direction,
                                                                       const QSize& panelSize,
                                                                       const QRect& target,
                                                                       const QRect& bounds) const {
    QSize arrow(12, 10);
    const QPixmap image = arrowFor(direction);
    if (!image.isNull())
        arrow = image.deviceIndependentSize().toSize();
    const int reach =
        (direction == ArrowUp || direction == ArrowDown ? arrow.height() : arrow.width()) -
        properties_.arrowMargin;
    Placement pl;
    pl.direction = direction;
    const QPoint c = target.center();
    // Kept a few points off the screen's edges; a panel too wide (or tall) for that is centred.
    int minX = bounds.left() + kScreenMargin;
    int maxX = bounds.right() - kScreenMargin - panelSize.width() + 1;
    if (maxX < minX)
        minX = maxX = bounds.left() + (bounds.width() - panelSize.width()) / 2;
    int minY = bounds.top() + kScreenMargin;
    int maxY = bounds.bottom() - kScreenMargin - panelSize.height() + 1;
    if (maxY < minY)
        minY = maxY = bounds.top() + (bounds.height() - panelSize.height()) / 2;
    if (direction == ArrowDown || direction == ArrowUp) {
        const int x = qBound(minX, c.x() - panelSize.width() / 2, qMax(minX, maxX));
        const int y = direction == ArrowDown ? target.top() - reach - panelSize.height()
                                             : target.bottom() + 1 + reach;
        pl.panel = QRect(QPoint(x, y), panelSize);
        const int capMin = pl.panel.left() + properties_.leftBgCapSize;
        const int capMax = pl.panel.right() - properties_.leftBgCapSize - arrow.width() + 1;
        const int ax =
            qBound(qMin(capMin, capMax), c.x() - arrow.width() / 2, qMax(capMin, capMax));
        const int ay = direction == ArrowDown
                           ? pl.panel.bottom() + 1 - properties_.arrowMargin
                           : pl.panel.top() - arrow.height() + properties_.arrowMargin;
        pl.arrow = QRect(QPoint(ax, ay), arrow);
    } else {
        const int y = qBound(minY, c.y() - panelSize.height() / 2, qMax(minY, maxY));
        const int x = direction == ArrowRight ? target.left() - reach - panelSize.width()
                                              : target.right() + 1 + reach;
        pl.panel = QRect(QPoint(x, y), panelSize);
        const int capMin = pl.panel.top() + properties_.topBgCapSize;
        const int capMax = pl.panel.bottom() - properties_.topBgCapSize - arrow.height() + 1;
        const int ay =
            qBound(qMin(capMin, capMax), c.y() - arrow.height() / 2, qMax(capMin, capMax));
        const int ax = direction == ArrowRight
                           ? pl.panel.right() + 1 - properties_.arrowMargin
                           : pl.panel.left() - arrow.width() + properties_.arrowMargin;
        pl.arrow = QRect(QPoint(ax, ay), arrow);
    }
    return pl;
}

void WEPopoverContainerView::layoutFor(const QSize& contentSize, const QRect& target,
                                       const QRect& bounds, int permittedDirections) {
    const QSize panelSize(
        contentSize.width() + properties_.leftContentMargin + properties_.rightContentMargin,
        contentSize.height() + properties_.topContentMargin + properties_.bottomContentMargin);
    if ((permittedDirections & ArrowAny) == 0)
        permittedDirections = ArrowAny;
    Placement best;
    qint64 bestArea = -1;
    for (ArrowDirection d : {ArrowUp, ArrowDown, ArrowLeft, ArrowRight}) {
        if (!(permittedDirections & d))
            continue;
        const Placement pl = placementFor(d, panelSize, target, bounds);
        if (bounds.contains(pl.panel) && bounds.contains(pl.arrow)) {
            best = pl;
            break;
        }
        const QRect seen = bounds.intersected(pl.panel);
        const qint64 area = qint64(seen.width()) * seen.height();
        if (area > bestArea) {
            bestArea = area;
            best = pl;
        }
    }
    direction_ = best.direction;
    const QRect bg = best.panel.adjusted(-properties_.leftBgMargin, -properties_.topBgMargin,
                                         properties_.rightBgMargin, properties_.bottomBgMargin);
    const QRect frame = bg.united(best.arrow);
    setGeometry(frame);
    panelRect_ = best.panel.translated(-frame.topLeft());
    arrowRect_ = best.arrow.translated(-frame.topLeft());
    contentRect_ = QRect(panelRect_.left() + properties_.leftContentMargin,
                         panelRect_.top() + properties_.topContentMargin, contentSize.width(),
                         contentSize.height());
    update();
}

void WEPopoverContainerView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect bg = panelRect_.adjusted(-properties_.leftBgMargin, -properties_.topBgMargin,
                                         properties_.rightBgMargin, properties_.bottomBgMargin);
    if (!properties_.bgImage.isNull()) {
        StretchableImage::withLeftCapTopCap(properties_.bgImage, properties_.leftBgCapSize,
                                            properties_.topBgCapSize)
            .draw(p, bg);
    } else {
        QPainterPath path;
        path.addRoundedRect(QRectF(panelRect_), 8, 8);
        p.fillPath(path, panelColor_);
    }
    // Nothing behind the popover shows through under its content.
    p.fillRect(contentRect_, panelColor_);
    const QPixmap arrow = arrowFor(direction_);
    if (!arrow.isNull()) {
        p.drawPixmap(arrowRect_, arrow);
    } else {
        const QRectF a(arrowRect_);
        QPolygonF tri;
        switch (direction_) {
        case ArrowUp:
            tri << a.bottomLeft() << QPointF(a.center().x(), a.top()) << a.bottomRight();
            break;
        case ArrowLeft:
            tri << a.topRight() << QPointF(a.left(), a.center().y()) << a.bottomRight();
            break;
        case ArrowRight:
            tri << a.topLeft() << QPointF(a.right(), a.center().y()) << a.bottomLeft();
            break;
        default:
            tri << a.topLeft() << QPointF(a.center().x(), a.bottom()) << a.topRight();
            break;
        }
        p.setPen(Qt::NoPen);
        p.setBrush(panelColor_);
        p.drawPolygon(tri);
    }
}
