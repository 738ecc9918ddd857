#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <functional>

#include "platform/Paths.h"

namespace testutil {

// Spins the event loop until pred() holds or the time-out passes; returns pred().
// Generous time-outs: the machines running the tests have two cores.
inline bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// Runs the event loop for a while (for "nothing else happens" checks).
inline void spin(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A fresh FOLIA_HOME for one test: documents and caches under a temporary folder,
// given back when the object goes away.
class ScopedHome {
public:
    ScopedHome() { Paths::setHome(dir_.path()); }
    ~ScopedHome() { Paths::setHome(QString()); }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

} // namespace testutil
