#include "platform/Timing.h"

#include <QPointer>
#include <QTimer>
#include <cmath>

namespace {
double& factor() {
    static double f = 1.0;
    return f;
}
} // namespace

double Timing::speed() {
    return factor();
}

void Timing::setSpeed(double f) {
    factor() = f < 0 ? 0 : f;
}

int Timing::scaled(int milliseconds) {
    return static_cast<int>(std::lround(milliseconds * factor()));
}

void Timing::after(int milliseconds, const QObject* receiver, std::function<void()> fn) {
    QTimer::singleShot(scaled(milliseconds), receiver, std::move(fn));
}
