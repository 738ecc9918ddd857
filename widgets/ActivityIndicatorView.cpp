#include "widgets/ActivityIndicatorView.h"

#include <QPainter>
#include <QTimer>

namespace {
constexpr int kSpokes = 12;
}

ActivityIndicatorView::ActivityIndicatorView(QWidget* parent)
    : QWidget(parent), timer_(new QTimer(this)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    timer_->setInterval(80);
    connect(timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % kSpokes;
        update();
    });
}

ActivityIndicatorView::~ActivityIndicatorView() = default;

void ActivityIndicatorView::startAnimating() {
    timer_->start();
    update();
}

void ActivityIndicatorView::stopAnimating() {
    timer_->stop();
}

bool ActivityIndicatorView::isAnimating() const {
    return timer_->isActive();
}

void ActivityIndicatorView::setColor(const QColor& color) {
    color_ = color;
    update();
}

void ActivityIndicatorView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height());
    p.translate(width() / 2.0, height() / 2.0);
    QPen pen(color_);
    pen.setWidthF(side / 10.0);
    pen.setCapStyle(Qt::RoundCap);
    for (int i = 0; i < kSpokes; ++i) {
        QColor c = color_;
        c.setAlphaF(0.15 + 0.85 * ((i + kSpokes - step_) % kSpokes) / double(kSpokes - 1));
        pen.setColor(c);
        p.setPen(pen);
        p.drawLine(QPointF(0, -side * 0.22), QPointF(0, -side * 0.42));
        p.rotate(360.0 / kSpokes);
    }
}
