#include "widgets/CustomSegmentedControl.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "platform/ui/Button.h"
#include "platform/ui/StretchableImage.h"

CustomSegmentedControlDelegate::~CustomSegmentedControlDelegate() = default;
void CustomSegmentedControlDelegate::touchUpInsideSegmentIndex(CustomSegmentedControl*, int) {}

CustomSegmentedControl::CustomSegmentedControl(int segmentCount, const QSize& segmentSize,
                                               const QPixmap& dividerImage, int tag,
                                               CustomSegmentedControlDelegate* delegate,
                                               QWidget* parent)
    : QWidget(parent), tag_(tag), segmentSize_(segmentSize), divider_(dividerImage),
      delegate_(delegate) {
    setObjectName(QStringLiteral("customSegmentedControl"));
    const int dividerWidth =
        divider_.isNull() ? 0 : qRound(divider_.deviceIndependentSize().width());
    int x = 0;
    for (int i = 0; i < segmentCount; ++i) {
        QAbstractButton* button = delegate_ ? delegate_->buttonFor(this, i) : nullptr;
        if (!button)
            button = new QPushButton;
        button->setParent(this);
        button->setObjectName(QStringLiteral("segment%1").arg(i));
        button->setGeometry(x, 0, segmentSize_.width(), segmentSize_.height());
        button->show();
        connect(button, &QAbstractButton::clicked, this, [this, i] { segmentTouched(i); });
        buttons_.append(button);
        x += segmentSize_.width();
        if (i + 1 < segmentCount && dividerWidth > 0) {
            auto* line = new QLabel(this);
            line->setObjectName(QStringLiteral("divider"));
            line->setPixmap(divider_);
            line->setScaledContents(true);
            line->setGeometry(x, 0, dividerWidth, segmentSize_.height());
            x += dividerWidth;
        }
    }
    resize(sizeHint());
}

CustomSegmentedControl::~CustomSegmentedControl() = default;

QSize CustomSegmentedControl::sizeHint() const {
    const int n = static_cast<int>(buttons_.size());
    const int dividerWidth =
        divider_.isNull() ? 0 : qRound(divider_.deviceIndependentSize().width());
    return {n * segmentSize_.width() + qMax(0, n - 1) * dividerWidth, segmentSize_.height()};
}

QAbstractButton* CustomSegmentedControl::buttonAt(int index) const {
    return index >= 0 && index < buttons_.size() ? buttons_.at(index) : nullptr;
}

void CustomSegmentedControl::setButtonSelected(QAbstractButton* button, bool selected) {
    if (auto* custom = qobject_cast<Button*>(button)) {
        custom->setSelected(selected);
        return;
    }
    button->setCheckable(true);
    button->setChecked(selected);
}

bool CustomSegmentedControl::isButtonSelected(const QAbstractButton* button) {
    if (auto* custom = qobject_cast<const Button*>(button))
        return custom->isSelected();
    return button->isChecked();
}

int CustomSegmentedControl::selectedSegmentIndex() const {
    for (int i = 0; i < buttons_.size(); ++i) {
        if (isButtonSelected(buttons_.at(i)))
            return i;
    }
    return -1;
}

void CustomSegmentedControl::setSelectedSegmentIndex(int index) {
    for (int i = 0; i < buttons_.size(); ++i)
        setButtonSelected(buttons_.at(i), i == index);
}

void CustomSegmentedControl::segmentTouched(int index) {
    setSelectedSegmentIndex(index);
    if (delegate_)
        delegate_->touchUpInsideSegmentIndex(this, index);
}

CustomSegmentedControl::CapLocation CustomSegmentedControl::capLocationFor(int index, int count) {
    if (count <= 1)
        return CapLeftAndRight;
    if (index == 0)
        return CapLeft;
    if (index == count - 1)
        return CapRight;
    return CapMiddle;
}

QPixmap CustomSegmentedControl::image(const QPixmap& image, CapLocation withCap, int capWidth,
                                      int buttonWidth) {
    if (image.isNull() || buttonWidth <= 0)
        return {};
    const qreal ratio = image.devicePixelRatio();
    const int height = qRound(image.deviceIndependentSize().height());
    QPixmap out(QSize(qRound(buttonWidth * ratio), qRound(height * ratio)));
    out.setDevicePixelRatio(ratio);
    out.fill(Qt::transparent);
    // Inner caps fall outside the button: the segments meet with no rounded edge between them.
    QRect target;
    switch (withCap) {
    case CapLeft:
        target = QRect(0, 0, buttonWidth + capWidth, height);
        break;
    case CapMiddle:
        target = QRect(-capWidth, 0, buttonWidth + 2 * capWidth, height);
        break;
    case CapRight:
        target = QRect(-capWidth, 0, buttonWidth + capWidth, height);
        break;
    case CapLeftAndRight:
        target = QRect(0, 0, buttonWidth, height);
        break;
    }
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    StretchableImage(image, QMargins(capWidth, 0, capWidth, 0)).draw(p, target);
    return out;
}
