#include "app/FirstFrame.h"

#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <ctime>
#include <unistd.h>

FirstFrame::FirstFrame(QWidget* target, std::function<void(qint64)> done, QObject* parent)
    : QObject(parent), target_(target), done_(std::move(done)) {
    if (target)
        target->installEventFilter(this);
}

FirstFrame::~FirstFrame() {
    if (target_)
        target_->removeEventFilter(this);
}

bool FirstFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_ && event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        target_->removeEventFilter(this);
        // The paint event comes in the middle of drawing the window; the frame is on the
        // screen once the event that draws and flushes it has returned.
        QTimer::singleShot(0, this, &FirstFrame::report);
    }
    return QObject::eventFilter(watched, event);
}

void FirstFrame::report() {
    if (reported_)
        return;
    reported_ = true;
    // The callback may end the application or destroy this watcher: nothing follows it.
    const auto done = done_;
    if (done)
        done(msSinceProcessStart());
}

qint64 FirstFrame::msSinceProcessStart() {
    QFile file(QStringLiteral("/proc/self/stat"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = file.readAll();
    // The command name in parentheses may hold spaces: the fields are counted after it, where
    // the state is field 3 and the start time (clock ticks after boot) field 22.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return -1;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    constexpr int kStartTime = 22 - 3;
    if (fields.size() <= kStartTime)
        return -1;
    bool ok = false;
    const qint64 startTicks = fields.at(kStartTime).toLongLong(&ok);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec now{};
    if (!ok || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    const qint64 nowMs = qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    return qMax<qint64>(0, nowMs - startTicks * 1000 / ticksPerSecond);
}
