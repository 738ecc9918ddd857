#include "platform/ui/ScreenshotWalk.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QPointer>
#include <algorithm>

#include "platform/Timing.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"

namespace {
struct Entry {
    QString name;
    int order;
    ScreenshotWalk::Step step;
};

QList<Entry>& registry() {
    static QList<Entry> entries;
    return entries;
}

void pump(int ms) {
    QDeadlineTimer deadline(ms);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    } while (!deadline.hasExpired());
}

class WalkContext final : public ScreenshotWalk::Context {
public:
    explicit WalkContext(Window* window) : window_(window) {}

    Window* window() override { return window_; }

    TabBarController* tabs() const {
        return window_ ? qobject_cast<TabBarController*>(window_->rootViewController()) : nullptr;
    }

    NavigationController* currentStack() const {
        if (auto* t = tabs())
            return qobject_cast<NavigationController*>(t->selectedViewController());
        return window_ ? qobject_cast<NavigationController*>(window_->rootViewController())
                       : nullptr;
    }

    void push(ViewController* controller) override {
        if (auto* nav = currentStack()) {
            if (!pushedOn_)
                pushedOn_ = nav;
            nav->pushViewController(controller, false);
        } else {
            showFullWindow(controller);
        }
    }

    void showFullWindow(QWidget* widget) override {
        if (!window_ || !widget)
            return;
        widget->setParent(window_);
        widget->setGeometry(window_->rect());
        widget->show();
        widget->raise();
        shown_.append(widget);
    }

    void selectTab(int index) override {
        if (auto* t = tabs())
            t->setSelectedIndex(index);
    }

    void settle(int ms) override { pump(ms); }

    void addCleanUp(std::function<void()> fn) override { cleanUps_.append(std::move(fn)); }

    // Puts the window back as it was before the step.
    void cleanUp() {
        for (const auto& fn : cleanUps_)
            fn();
        cleanUps_.clear();
        for (const auto& w : shown_)
            delete w.data();
        shown_.clear();
        if (pushedOn_)
            pushedOn_->popToRootViewController(false);
        pushedOn_ = nullptr;
        for (AlertView* a : AlertView::visibleAlerts())
            a->dismiss();
        for (ActionSheet* s : ActionSheet::visibleSheets())
            s->dismiss();
        if (window_) {
            for (QWidget* overlay : window_->overlays()) {
                if (auto* hud = qobject_cast<ProgressHUD*>(overlay))
                    hud->hideAnimated();
            }
        }
        pump(50);
    }

private:
    QPointer<Window> window_;
    QPointer<NavigationController> pushedOn_;
    QList<QPointer<QWidget>> shown_;
    QList<std::function<void()>> cleanUps_;
};
} // namespace

ScreenshotWalk::Context::~Context() = default;

void ScreenshotWalk::add(const QString& name, int order, Step step) {
    auto& entries = registry();
    // A name added twice keeps its latest step.
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const Entry& e) { return e.name == name; }),
                  entries.end());
    entries.append({name, order, std::move(step)});
}

QStringList ScreenshotWalk::names() {
    QList<Entry> entries = registry();
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.order != b.order ? a.order < b.order : a.name < b.name;
    });
    QStringList result;
    for (const Entry& e : entries)
        result.append(e.name);
    return result;
}

int ScreenshotWalk::run(const QString& dir, Window* window) {
    if (!window || !QDir().mkpath(dir)) {
        qWarning("Screenshots: cannot write into %s", qPrintable(dir));
        return 0;
    }
    const double speed = Timing::speed();
    Timing::setSpeed(0);
    WalkContext context(window);
    int written = 0;
    for (const QString& name : names()) {
        const auto& entries = registry();
        const auto it = std::find_if(entries.begin(), entries.end(),
                                     [&](const Entry& e) { return e.name == name; });
        if (it == entries.end())
            continue;
        const Step step = it->step;
        context.selectTab(0);
        pump(30);
        step(context);
        pump(150);
        const QString file = QDir(dir).filePath(name + QStringLiteral(".png"));
        if (window->grab().save(file))
            ++written;
        else
            qWarning("Screenshots: cannot write %s", qPrintable(file));
        context.cleanUp();
    }
    Timing::setSpeed(speed);
    qInfo("Screenshots: %d written to %s", written, qPrintable(dir));
    return written;
}
