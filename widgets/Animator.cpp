#include "widgets/Animator.h"

#include <QVariantAnimation>

#include "platform/Timing.h"

QVariantAnimation* Animator::run(QObject* owner, int milliseconds, const QEasingCurve& curve,
                                 Step step, Done done) {
    const int duration = Timing::scaled(milliseconds);
    if (duration <= 0) {
        if (step)
            step(1.0);
        if (done)
            done();
        return nullptr;
    }
    auto* animation = new QVariantAnimation(owner);
    animation->setDuration(duration);
    animation->setEasingCurve(curve);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    if (step)
        QObject::connect(animation, &QVariantAnimation::valueChanged, owner,
                         [step](const QVariant& v) { step(v.toDouble()); });
    QObject::connect(animation, &QVariantAnimation::finished, owner, [animation, step, done] {
        if (step)
            step(1.0);
        if (done)
            done();
        animation->deleteLater();
    });
    animation->start();
    return animation;
}
