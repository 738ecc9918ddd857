#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "platform/ui/StretchableImage.h"

class Button;
class QLabel;
class ViewController;

// The 44-point bar at the top of a navigation stack: the top screen's title (or title view),
// its left and right bar buttons, and a back button when the screen has none of its own.
class NavigationBar final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavigationBar)

public:
    explicit NavigationBar(QWidget* parent = nullptr);
    ~NavigationBar() override;

    void setBackgroundImageNamed(const QString& name);
    QString backgroundImageName() const { return backgroundName_; }

    // Shows the items of screen; a back button (calling back) when canGoBack and the screen
    // neither hides it nor has a left button of its own.
    void showItemsOf(ViewController* screen, bool canGoBack, std::function<void()> back);
    QString titleText() const;
    Button* backButton() const { return backButton_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();

    StretchableImage background_;
    QString backgroundName_;
    QLabel* title_ = nullptr;
    Button* backButton_ = nullptr;
    std::function<void()> back_;
    QPointer<QWidget> left_;
    QPointer<QWidget> right_;
    QPointer<QWidget> titleView_;
};
