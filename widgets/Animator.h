#pragma once

#include <QEasingCurve>
#include <QObject>
#include <functional>

class QVariantAnimation;

// The widgets' animations: a progress from 0 to 1 over a duration scaled by Timing. At speed
// 0 the last step and the completion run at once, in the caller's turn, so tests see the end
// state straight away.
class Animator final {
public:
    Animator() = delete;

    using Step = std::function<void(double progress)>;
    using Done = std::function<void()>;

    // Owned by the owner: destroying it stops the animation without calling done. Returns
    // the running animation, or none when it already finished.
    static QVariantAnimation* run(QObject* owner, int milliseconds, const QEasingCurve& curve,
                                  Step step, Done done = {});
};
