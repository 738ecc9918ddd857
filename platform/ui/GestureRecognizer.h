#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>

class QAbstractScrollArea;
class QTimer;
class QWidget;

// Taps, swipes and long presses on a view, from mouse events (and the mouse events Qt makes of
// touches). Each recognizer watches one view for one kind of gesture and calls its handler
// with the point where the gesture began, in the view's coordinates; it belongs to the view.
class GestureRecognizer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GestureRecognizer)

public:
    enum class Kind { Tap, SwipeLeft, SwipeRight, SwipeUp, SwipeDown, LongPress };

    static constexpr int kTapSlop = 10;       // points a tap may wander
    static constexpr int kSwipeDistance = 30; // points a swipe must travel
    static constexpr int kLongPressMs = 500;

    // The handler runs for as long as receiver lives.
    static GestureRecognizer* add(QWidget* view, Kind kind, QObject* receiver,
                                  std::function<void(QPoint)> handler);
    // A mouse drag scrolls the area like a finger, with momentum.
    static void scrollLikeAFinger(QAbstractScrollArea* area);

    Kind kind() const { return kind_; }
    void setEnabled(bool on) { enabled_ = on; }
    bool isEnabled() const { return enabled_; }

    ~GestureRecognizer() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    GestureRecognizer(QWidget* view, Kind kind, QObject* receiver,
                      std::function<void(QPoint)> handler);
    void fire();

    Kind kind_;
    QPointer<QObject> receiver_;
    std::function<void(QPoint)> handler_;
    bool enabled_ = true;
    bool pressed_ = false;
    bool longPressed_ = false;
    QPoint start_;
    QTimer* longPress_ = nullptr;
};
