#pragma once

#include <QStringList>
#include <QtGlobal>

namespace testutil {

// Collects the log lines written while it lives (and still passes them on).
class LogCapture {
public:
    LogCapture() {
        lines().clear();
        previous() = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() { qInstallMessageHandler(previous()); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList messages() const { return lines(); }
    int count(const QString& text) const { return int(lines().count(text)); }
    bool containsStart(const QString& prefix) const {
        for (const QString& line : lines()) {
            if (line.startsWith(prefix))
                return true;
        }
        return false;
    }

private:
    static QStringList& lines() {
        static QStringList l;
        return l;
    }
    static QtMessageHandler& previous() {
        static QtMessageHandler h = nullptr;
        return h;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
        lines().append(msg);
        if (previous())
            previous()(type, context, msg);
    }
};

} // namespace testutil
