#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include "platform/ui/ViewController.h"

// The phone's one portrait window: 320 x 568 points (320 x 480 for the smaller screen), a
// 20-point status strip at the top, and the root view controller filling the application
// frame below it. Alerts, sheets and overlays are drawn inside it, above the root.
class Window final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Window)

public:
    static constexpr int kWidth = 320;
    static constexpr int kTallHeight = 568;
    static constexpr int kShortHeight = 480;
    static constexpr int kStatusBarHeight = 20;

    explicit Window(QWidget* parent = nullptr);
    ~Window() override;

    // The screen height in points new windows get (568 or 480); set from --screen at start-up.
    static void setScreenHeight(int points);
    static int screenHeight();
    // The screen's bounds in points (0, 0, 320, height) and the application frame below the
    // status strip.
    static QRect screenBounds();
    static QRect applicationFrame();
    // The screen mode in pixels as the phone reports it: two pixels per point (640 x 1136).
    static QSize screenModeSize();

    void setRootViewController(ViewController* controller);
    ViewController* rootViewController() const { return root_; }

    // Shows the window and makes it the key window.
    void makeKeyAndVisible();
    static Window* keyWindow();

    void setStatusBarHidden(bool hidden);
    bool isStatusBarHidden() const { return statusBarHidden_; }

    // Whether modal overlays (alerts, sheets, the progress overlay) are showing.
    QList<QWidget*> overlays() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutRoot();

    QPointer<ViewController> root_;
    bool statusBarHidden_ = false;
    static QPointer<Window> key_;
};
