#pragma once

#include "platform/ui/ViewController.h"

class QLabel;
class QSlider;
class ReaderControlsDelegate;

// The brightness slider of the reader's toolbar, 0 to 100. Every move reports the rounded
// value to the reader and stores it as LightSizeId.
class BtnSetLightViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BtnSetLightViewController)

public:
    // The slider moves in hundredths, so that a position between two whole values is rounded
    // as the user left it.
    static constexpr int kSteps = 100;

    explicit BtnSetLightViewController(ReaderControlsDelegate* delegate, QWidget* parent = nullptr);
    ~BtnSetLightViewController() override;

    ReaderControlsDelegate* delegate = nullptr;
    QSlider* mSlider() const { return slider_; }
    double value() const;
    // A move of the slider to value (0…100), as a finger would make it.
    void moveSliderTo(double value);

protected:
    void viewDidLoad() override;

private:
    void sliderChanged(int position);

    QSlider* slider_ = nullptr;
    QLabel* img1_ = nullptr;
    QLabel* img2_ = nullptr;
};
