#include "reader/BtnSetFontsizeViewController.h"

#include <QLabel>

#include "platform/Images.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "reader/ReaderControlsDelegate.h"
#include "reader/ReaderSettings.h"

BtnSetFontsizeViewController::BtnSetFontsizeViewController(ReaderControlsDelegate* delegate,
                                                           QWidget* parent)
    : ViewController(parent), delegate(delegate) {
    setObjectName(QStringLiteral("BtnSetFontsizeViewController"));
    buttons.insert(QStringLiteral("titles"),
                   QStringList{QStringLiteral("小"), QStringLiteral("中"), QStringLiteral("大"),
                               QStringLiteral("极大")});
    buttons.insert(QStringLiteral("size"), QSize(51, 30));
    buttons.insert(QStringLiteral("button-image"), QStringLiteral("read_tanchuButton_font.png"));
    buttons.insert(QStringLiteral("button-highlight-image"),
                   QStringLiteral("read_tanchuButton_font_select.png"));
    buttons.insert(QStringLiteral("divider-image"),
                   QStringLiteral("read_tanchuButton_font_line.png"));
    buttons.insert(QStringLiteral("cap-width"), 4);
}

BtnSetFontsizeViewController::~BtnSetFontsizeViewController() = default;

void BtnSetFontsizeViewController::viewDidLoad() {
    label_ = new QLabel(QStringLiteral("文字大小："), this);
    label_->setObjectName(QStringLiteral("fontSizeCaption"));
    QFont font = label_->font();
    font.setPixelSize(15);
    label_->setFont(font);
    label_->setStyleSheet(QStringLiteral("color: rgb(153,153,153); background: transparent;"));
    label_->setGeometry(15, 15, 100, 30);

    const QSize segment = buttons.value(QStringLiteral("size")).toSize();
    const QPixmap divider =
        Images::named(buttons.value(QStringLiteral("divider-image")).toString());
    control_ = new CustomSegmentedControl(4, segment, divider, 1, this, this);
    control_->setObjectName(QStringLiteral("fontSizeSegments"));
    control_->setGeometry(95, 15, 200, 35);
}

QAbstractButton* BtnSetFontsizeViewController::buttonFor(CustomSegmentedControl*, int index) {
    const QStringList titles = buttons.value(QStringLiteral("titles")).toStringList();
    const QSize size = buttons.value(QStringLiteral("size")).toSize();
    const int cap = buttons.value(QStringLiteral("cap-width")).toInt();
    const auto where = CustomSegmentedControl::capLocationFor(index, int(titles.size()));
    const QPixmap normal = CustomSegmentedControl::image(
        Images::named(buttons.value(QStringLiteral("button-image")).toString(), size), where, cap,
        size.width());
    const QPixmap pressed = CustomSegmentedControl::image(
        Images::named(buttons.value(QStringLiteral("button-highlight-image")).toString(), size),
        where, cap, size.width());
    auto* button = new Button();
    button->setText(titles.value(index));
    button->setTitleColor(QColor(80, 80, 80));
    button->setFontSize(14);
    button->setBackgroundImage(StretchableImage(normal, QMargins()),
                               StretchableImage(pressed, QMargins()));
    button->setSelected(index == ReaderSettings::fontSegment(UserDefaults::standard().objectForKey(
                                     QStringLiteral("FontSizeId"))));
    return button;
}

void BtnSetFontsizeViewController::touchUpInsideSegmentIndex(CustomSegmentedControl*,
                                                             int segmentIndex) {
    const int size = ReaderSettings::fontSizeOfSegment(segmentIndex);
    if (size == 0)
        return;
    if (delegate)
        delegate->changeFontSize(size);
    UserDefaults& defaults = UserDefaults::standard();
    defaults.setObject(QStringLiteral("FontSizeId"), size);
    defaults.synchronize();
}
