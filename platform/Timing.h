#pragma once

#include <QObject>
#include <functional>

// Every animation and every "after N seconds" delay goes through one speed factor.
// 1 is real time; tests set 0, so animations finish at once and delays fire on the next
// turn of the event loop, still in order.
class Timing final {
public:
    Timing() = delete;

    static double speed();
    static void setSpeed(double factor);

    // A duration in milliseconds scaled by the speed factor.
    static int scaled(int milliseconds);

    // Runs fn after the scaled delay on the receiver's thread; nothing if the receiver is
    // destroyed first.
    static void after(int milliseconds, const QObject* receiver, std::function<void()> fn);
};
