#pragma once

#include <QList>
#include <QPixmap>
#include <QSize>
#include <QWidget>

class QAbstractButton;
class CustomSegmentedControl;

// The owner makes the segments' buttons and hears the touches.
class CustomSegmentedControlDelegate {
public:
    virtual ~CustomSegmentedControlDelegate();
    // The button of one segment; the control takes it over and sizes it to the segment.
    virtual QAbstractButton* buttonFor(CustomSegmentedControl* segmentedControl, int index) = 0;
    virtual void touchUpInsideSegmentIndex(CustomSegmentedControl* segmentedControl,
                                           int segmentIndex);
};

// A row of segments whose buttons the delegate makes, with a divider image between them.
// A touch on a segment selects its button (and deselects the others) and is reported with
// the control's tag.
class CustomSegmentedControl final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CustomSegmentedControl)

public:
    // Which caps of a background image stay inside a segment's button.
    enum CapLocation { CapLeft, CapMiddle, CapRight, CapLeftAndRight };

    CustomSegmentedControl(int segmentCount, const QSize& segmentSize, const QPixmap& dividerImage,
                           int tag, CustomSegmentedControlDelegate* delegate,
                           QWidget* parent = nullptr);
    ~CustomSegmentedControl() override;

    int tag() const { return tag_; }
    int segmentCount() const { return static_cast<int>(buttons_.size()); }
    QAbstractButton* buttonAt(int index) const;
    // The selected segment, -1 when none is.
    int selectedSegmentIndex() const;
    void setSelectedSegmentIndex(int index);

    // The cap location of a segment at index among count segments.
    static CapLocation capLocationFor(int index, int count);
    // A background for one segment's button, buttonWidth wide: the image stretched with caps
    // of capWidth, then cut so that only the caps at the control's outer ends stay visible.
    static QPixmap image(const QPixmap& image, CapLocation withCap, int capWidth, int buttonWidth);

    QSize sizeHint() const override;

private:
    void segmentTouched(int index);
    static void setButtonSelected(QAbstractButton* button, bool selected);
    static bool isButtonSelected(const QAbstractButton* button);

    int tag_;
    QSize segmentSize_;
    QPixmap divider_;
    CustomSegmentedControlDelegate* delegate_;
    QList<QAbstractButton*> buttons_;
};
