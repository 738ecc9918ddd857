#include "widgets/SVSegmentedControl.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "platform/ui/StretchableImage.h"
#include "widgets/Animator.h"

namespace {
constexpr int kTitlePadding = 24;
constexpr int kThumbInset = 2;
} // namespace

SVSegmentedControl::SVSegmentedControl(const QStringList& titles, QWidget* parent)
    : QWidget(parent), titles_(titles) {
    setObjectName(QStringLiteral("svSegmentedControl"));
    if (titles_.size() < 2)
        qWarning("SVSegmentedControl: needs two or more titles, got %d", int(titles_.size()));
    resize(sizeHint());
}

SVSegmentedControl::~SVSegmentedControl() = default;

QSize SVSegmentedControl::sizeHint() const {
    const QFontMetrics fm(font());
    int widest = 0;
    for (const QString& title : titles_)
        widest = qMax(widest, fm.horizontalAdvance(title));
    const int n = int(qMax<qsizetype>(1, titles_.size()));
    return {n * (widest + 2 * kTitlePadding), height_};
}

void SVSegmentedControl::setHeight(int height) {
    height_ = height;
    resize(width(), height);
    updateGeometry();
}

void SVSegmentedControl::setBackgroundImage(const QPixmap& image) {
    background_ = image;
    update();
}

void SVSegmentedControl::setThumbImage(const QPixmap& image) {
    thumb_ = image;
    update();
}

void SVSegmentedControl::setTextColor(const QColor& color) {
    textColor_ = color;
    update();
}

void SVSegmentedControl::setThumbTextColor(const QColor& color) {
    thumbTextColor_ = color;
    update();
}

void SVSegmentedControl::setImageCapWidth(int width) {
    capWidth_ = width;
    update();
}

double SVSegmentedControl::segmentWidth() const {
    return titles_.isEmpty() ? width() : double(width()) / titles_.size();
}

QRect SVSegmentedControl::segmentRect(int index) const {
    const double w = segmentWidth();
    return QRectF(index * w, 0, w, height()).toAlignedRect();
}

QRectF SVSegmentedControl::thumbRect() const {
    return {thumbX_ + kThumbInset, double(kThumbInset), segmentWidth() - 2 * kThumbInset,
            double(height() - 2 * kThumbInset)};
}

int SVSegmentedControl::segmentAt(double x) const {
    if (titles_.isEmpty())
        return -1;
    return qBound(0, int(x / segmentWidth()), int(titles_.size()) - 1);
}

void SVSegmentedControl::setSelectedIndex(int index, bool animated) {
    if (index < 0 || index >= titles_.size())
        return;
    selectedIndex_ = index;
    slideThumbTo(index, animated);
}

void SVSegmentedControl::slideThumbTo(int index, bool animated) {
    const double from = thumbX_;
    const double to = index * segmentWidth();
    if (!animated) {
        thumbX_ = to;
        update();
        return;
    }
    Animator::run(this, kThumbSlideMs, QEasingCurve::OutCubic, [this, from, to](double t) {
        thumbX_ = from + (to - from) * t;
        update();
    });
}

void SVSegmentedControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QMargins caps(capWidth_, 0, capWidth_, 0);
    if (!background_.isNull()) {
        StretchableImage(background_, caps).draw(p, rect());
    } else {
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), height() / 2.0,
                            height() / 2.0);
        p.fillPath(path, QColor(225, 220, 210));
    }
    const QRectF thumb = thumbRect();
    if (!thumb_.isNull()) {
        StretchableImage(thumb_, caps).draw(p, thumb.toAlignedRect());
    } else {
        QPainterPath path;
        path.addRoundedRect(thumb, thumb.height() / 2, thumb.height() / 2);
        p.fillPath(path, QColor(150, 110, 70));
    }
    p.setFont(font());
    for (int i = 0; i < titles_.size(); ++i) {
        const QRect r = segmentRect(i);
        // A title is in the thumb's colour while the thumb covers most of it.
        const bool underThumb = qAbs(thumb.center().x() - r.center().x()) < segmentWidth() / 2;
        p.setPen(underThumb ? thumbTextColor_ : textColor_);
        p.drawText(r, Qt::AlignCenter, titles_.at(i));
    }
}

void SVSegmentedControl::resizeEvent(QResizeEvent*) {
    thumbX_ = selectedIndex_ * segmentWidth();
}

void SVSegmentedControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = true;
    pressX_ = event->position().x();
    pressThumbX_ = thumbX_;
    draggingThumb_ = thumbRect().contains(event->position());
}

void SVSegmentedControl::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !draggingThumb_)
        return;
    thumbX_ = qBound(0.0, pressThumbX_ + event->position().x() - pressX_, width() - segmentWidth());
    update();
}

void SVSegmentedControl::mouseReleaseEvent(QMouseEvent* event) {
    if (!pressed_ || event->button() != Qt::LeftButton)
        return;
    pressed_ = false;
    const int index =
        draggingThumb_ ? segmentAt(thumbX_ + segmentWidth() / 2) : segmentAt(event->position().x());
    const bool inside = draggingThumb_ || rect().contains(event->position().toPoint());
    draggingThumb_ = false;
    if (index < 0 || !inside) {
        slideThumbTo(selectedIndex_, true);
        return;
    }
    const bool changed = index != selectedIndex_;
    selectedIndex_ = index;
    slideThumbTo(index, true);
    if (changed)
        Q_EMIT valueChanged(index);
}
