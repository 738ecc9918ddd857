#pragma once

#include <QByteArray>
#include <QEasingCurve>
#include <QVariant>
#include <functional>

class QObject;

// Property animations over the global speed factor (platform/Timing.h). At speed 0 the
// property takes its end value at once and the finish handler runs on the next turn of the
// event loop, so handlers still run after the caller returns and in the order started.
class Animation final {
public:
    Animation() = delete;

    // Animates target's property to end over ms (scaled); done runs once when it stops, unless
    // target was destroyed first. A running animation of the same property is replaced.
    static void animate(QObject* target, const QByteArray& property, const QVariant& end, int ms,
                        std::function<void()> done = {},
                        QEasingCurve::Type easing = QEasingCurve::InOutQuad);

    // Animates the opacity of a widget (0..1) through a QGraphicsOpacityEffect it owns.
    static void fade(class QWidget* widget, double toOpacity, int ms,
                     std::function<void()> done = {});
    // The widget's current opacity (1 without an effect).
    static double opacity(const class QWidget* widget);
    static void setOpacity(class QWidget* widget, double value);
};
