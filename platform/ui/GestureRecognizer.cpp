#include "platform/ui/GestureRecognizer.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QScroller>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

#include "platform/Timing.h"

GestureRecognizer* GestureRecognizer::add(QWidget* view, Kind kind, QObject* receiver,
                                          std::function<void(QPoint)> handler) {
    if (!view || !receiver || !handler)
        return nullptr;
    return new GestureRecognizer(view, kind, receiver, std::move(handler));
}

GestureRecognizer::GestureRecognizer(QWidget* view, Kind kind, QObject* receiver,
                                     std::function<void(QPoint)> handler)
    : QObject(view), kind_(kind), receiver_(receiver), handler_(std::move(handler)) {
    view->installEventFilter(this);
    if (kind_ == Kind::LongPress) {
        longPress_ = new QTimer(this);
        longPress_->setSingleShot(true);
        connect(longPress_, &QTimer::timeout, this, [this] {
            if (!pressed_)
                return;
            longPressed_ = true;
            fire();
        });
    }
}

GestureRecognizer::~GestureRecognizer() = default;

void GestureRecognizer::scrollLikeAFinger(QAbstractScrollArea* area) {
    if (area)
        QScroller::grabGesture(area->viewport(), QScroller::LeftMouseButtonGesture);
}

void GestureRecognizer::fire() {
    if (receiver_ && handler_)
        handler_(start_);
}

bool GestureRecognizer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != parent() || !enabled_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton)
            break;
        pressed_ = true;
        longPressed_ = false;
        start_ = e->position().toPoint();
        if (longPress_)
            longPress_->start(std::max(1, Timing::scaled(kLongPressMs)));
        break;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint d = e->position().toPoint() - start_;
        // A finger that wanders is not holding still.
        if (longPress_ && pressed_ && d.manhattanLength() > kTapSlop)
            longPress_->stop();
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!pressed_ || e->button() != Qt::LeftButton)
            break;
        pressed_ = false;
        if (longPress_)
            longPress_->stop();
        if (longPressed_)
            break;
        const QPoint d = e->position().toPoint() - start_;
        const int ax = std::abs(d.x());
        const int ay = std::abs(d.y());
        switch (kind_) {
        case Kind::Tap:
            if (ax <= kTapSlop && ay <= kTapSlop)
                fire();
            break;
        case Kind::SwipeLeft:
            if (d.x() <= -kSwipeDistance && ax > ay)
                fire();
            break;
        case Kind::SwipeRight:
            if (d.x() >= kSwipeDistance && ax > ay)
                fire();
            break;
        case Kind::SwipeUp:
            if (d.y() <= -kSwipeDistance && ay > ax)
                fire();
            break;
        case Kind::SwipeDown:
            if (d.y() >= kSwipeDistance && ay > ax)
                fire();
            break;
        case Kind::LongPress:
            break;
        }
        break;
    }
    default:
        break;
    }
    return false;
}
