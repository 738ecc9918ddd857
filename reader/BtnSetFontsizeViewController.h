#pragma once

#include <QStringList>
#include <QVariantMap>

#include "platform/ui/ViewController.h"
#include "widgets/CustomSegmentedControl.h"

class QLabel;
class ReaderControlsDelegate;

// The font-size chooser of the reader's toolbar: four segments 小, 中, 大, 极大 for the sizes
// 16, 18, 20 and 22. A touch reports the size to the reader and stores it as FontSizeId.
class BtnSetFontsizeViewController final : public ViewController,
                                           public CustomSegmentedControlDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BtnSetFontsizeViewController)

public:
    explicit BtnSetFontsizeViewController(ReaderControlsDelegate* delegate,
                                          QWidget* parent = nullptr);
    ~BtnSetFontsizeViewController() override;

    ReaderControlsDelegate* delegate = nullptr;
    QVariantMap
        buttons; // titles, size, button-image, button-highlight-image, divider-image, cap-width
    CustomSegmentedControl* segmentedControl() const { return control_; }

    QAbstractButton* buttonFor(CustomSegmentedControl* segmentedControl, int index) override;
    void touchUpInsideSegmentIndex(CustomSegmentedControl* segmentedControl,
                                   int segmentIndex) override;

protected:
    void viewDidLoad() override;

private:
    QLabel* label_ = nullptr;
    CustomSegmentedControl* control_ = nullptr;
};
