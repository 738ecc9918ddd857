#include "platform/ui/ScreenshotWalk.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QHash>
#include <QImage>
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

    void fail(const QString& what) override {
        qWarning("Screenshots: step %s failed: %s", qPrintable(step_), qPrintable(what));
        failures_.append(step_ + QStringLiteral(": ") + what);
    }

    QString stepName() const override { return step_; }
    void begin(const QString& step) { step_ = step; }
    QStringList failures() const { return failures_; }

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
    QString step_;
    QStringList failures_;
};
} // namespace

ScreenshotWalk::Context::~Context() = default;

bool ScreenshotWalk::Context::waitFor(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        settle(50);
    }
    return true;
}

bool ScreenshotWalk::Context::require(bool ok, const QString& what) {
    if (!ok)
        fail(what);
    return ok;
}

void ScreenshotWalk::add(const QString& name, int order, Step step) {
    auto& entries = registry();
    // A name added twice keeps its latest step.
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const Entry& e) { return e.name == name; }),
                  entries.end());
    entries.append({name, order, std::move(step)});
}

double ScreenshotWalk::inkShare(QWidget* widget) {
    if (!widget || !widget->isVisible() || widget->width() <= 0 || widget->height() <= 0)
        return 0;
    QWidget* top = widget->window();
    const QImage image = top->grab(QRect(widget->mapTo(top, QPoint(0, 0)), widget->size()))
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return 0;
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); y += 4) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); x += 4)
            ++counts[line[x]];
    }
    QRgb ground = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            ground = it.key();
        }
    }
    qint64 ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int d =
                std::max({std::abs(qRed(p) - qRed(ground)), std::abs(qGreen(p) - qGreen(ground)),
                          std::abs(qBlue(p) - qBlue(ground))});
            if (d > 48)
                ++ink;
        }
    }
    return double(ink) / (qint64(image.width()) * image.height());
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

ScreenshotWalk::Result ScreenshotWalk::run(const QString& dir, Window* window,
                                           const QStringList& only) {
    Result result;
    if (!window || !QDir().mkpath(dir)) {
        qWarning("Screenshots: cannot write into %s", qPrintable(dir));
        return result;
    }
    const double speed = Timing::speed();
    Timing::setSpeed(0);
    WalkContext context(window);
    for (const QString& name : names()) {
        if (!only.isEmpty() && !only.contains(name))
            continue;
        const auto& entries = registry();
        const auto it = std::find_if(entries.begin(), entries.end(),
                                     [&](const Entry& e) { return e.name == name; });
        if (it == entries.end())
            continue;
        const Step step = it->step;
        context.begin(name);
        context.selectTab(0);
        pump(30);
        step(context);
        pump(150);
        const QString file = QDir(dir).filePath(name + QStringLiteral(".png"));
        if (window->grab().save(file))
            ++result.written;
        else
            context.fail(QStringLiteral("cannot write ") + file);
        context.cleanUp();
    }
    Timing::setSpeed(speed);
    result.failures = context.failures();
    qInfo("Screenshots: %d written to %s", result.written, qPrintable(dir));
    if (!result.failures.isEmpty())
        qWarning("Screenshots: %d step(s) failed:\n  %s", int(result.failures.size()),
                 qPrintable(result.failures.join(QStringLiteral("\n  "))));
    return result;
}
