#include "platform/ui/Animation.h"

#include <QGraphicsOpacityEffect>
#include <QPointer>
#include <QPropertyAnimation>
#include <QTimer>
#include <QWidget>

#include "platform/Timing.h"

namespace {
// Marks the running animation of one property so a new one can replace it.
QByteArray runningKey(const QByteArray& property) {
    return QByteArrayLiteral("_folia_anim_") + property;
}
} // namespace

void Animation::animate(QObject* target, const QByteArray& property, const QVariant& end, int ms,
                        std::function<void()> done, QEasingCurve::Type easing) {
    if (!target)
        return;
    const QByteArray key = runningKey(property);
    if (auto* old = target->property(key.constData()).value<QObject*>()) {
        // The old animation jumps to its end; its handler still runs, before ours.
        if (auto* running = qobject_cast<QPropertyAnimation*>(old))
            running->setCurrentTime(running->duration());
    }
    const int duration = Timing::scaled(ms);
    if (duration <= 0) {
        target->setProperty(property.constData(), end);
        if (done)
            QTimer::singleShot(0, target, std::move(done));
        return;
    }
    auto* animation = new QPropertyAnimation(target, property, target);
    animation->setDuration(duration);
    animation->setEndValue(end);
    animation->setEasingCurve(easing);
    target->setProperty(key.constData(), QVariant::fromValue<QObject*>(animation));
    QObject::connect(animation, &QAbstractAnimation::finished, target,
                     [target, key, animation, done = std::move(done)] {
                         if (target->property(key.constData()).value<QObject*>() == animation)
                             target->setProperty(key.constData(), QVariant());
                         animation->deleteLater();
                         if (done)
                             done();
                     });
    animation->start();
}

namespace {
QGraphicsOpacityEffect* opacityEffect(QWidget* widget) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(widget);
        effect->setOpacity(1.0);
        widget->setGraphicsEffect(effect);
    }
    return effect;
}
} // namespace

void Animation::fade(QWidget* widget, double toOpacity, int ms, std::function<void()> done) {
    if (!widget)
        return;
    animate(opacityEffect(widget), "opacity", toOpacity, ms, std::move(done));
}

double Animation::opacity(const QWidget* widget) {
    if (!widget)
        return 0;
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}

void Animation::setOpacity(QWidget* widget, double value) {
    if (widget)
        opacityEffect(widget)->setOpacity(value);
}
