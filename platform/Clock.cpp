#include "platform/Clock.h"

namespace {
struct ClockState {
    bool fixed = false;
    QDateTime at;
    qint64 offset = 0; // seconds added to the system time
};

ClockState& state() {
    static ClockState s;
    return s;
}
} // namespace

QDateTime Clock::now() {
    const ClockState& s = state();
    if (s.fixed)
        return s.at;
    return QDateTime::currentDateTime().addSecs(s.offset);
}

qint64 Clock::nowSecs() {
    return now().toSecsSinceEpoch();
}

void Clock::setNow(const QDateTime& fixed) {
    state().fixed = true;
    state().at = fixed;
}

void Clock::advance(qint64 seconds) {
    ClockState& s = state();
    if (s.fixed)
        s.at = s.at.addSecs(seconds);
    else
        s.offset += seconds;
}

void Clock::reset() {
    state() = ClockState{};
}
