#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

// Tells when a widget's first frame is on the screen: after its first paint event, once the
// window has been drawn and flushed, the callback gets the milliseconds since the process
// started. Used to time the start-up up to the bookshelf (`folia --startup-time`).
class FirstFrame final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FirstFrame)

public:
    // Watches target (which must outlive the watcher or be destroyed with it); done is called
    // once, and never after the watcher is destroyed.
    FirstFrame(QWidget* target, std::function<void(qint64 ms)> done, QObject* parent = nullptr);
    ~FirstFrame() override;

    bool hasReported() const { return reported_; }

    // Milliseconds since this process was started by the system (the kernel's start time, so
    // loading the libraries counts too); -1 where that is unknown.
    static qint64 msSinceProcessStart();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void report();

    QPointer<QWidget> target_;
    std::function<void(qint64)> done_;
    bool painted_ = false;
    bool reported_ = false;
};
