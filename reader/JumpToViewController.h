#pragma once

#include <QString>

#include "platform/ui/ViewController.h"

class Button;
class QLabel;
class QSlider;
class ReaderControlsDelegate;

// The chapter jump of the reader's toolbar: a slider over the stored chapters with the title
// of the chapter it stands on, and two arrows that step one chapter. Every choice opens that
// chapter at once; the popover stays open.
class JumpToViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JumpToViewController)

public:
    explicit JumpToViewController(ReaderControlsDelegate* delegate, QWidget* parent = nullptr);
    ~JumpToViewController() override;

    ReaderControlsDelegate* delegate = nullptr;
    QString book_id;
    int chapter_id = 0;
    int maxChapterId = 0;

    QSlider* slider() const { return slider_; }
    QLabel* label() const { return label_; }

    // The finger leaves the slider at value.
    void sliderTouchUpInside(double value);
    void preChatper();
    void nextChatper();

protected:
    void viewDidLoad() override;

private:
    void showTitle();
    void jump(const QString& chapter);

    int minChapterId_ = 0;
    QSlider* slider_ = nullptr;
    QLabel* label_ = nullptr;
    Button* btnLeft_ = nullptr;
    Button* btnRight_ = nullptr;
};
