#include "reader/BtnSetLightViewController.h"

#include <QLabel>
#include <QSlider>

#include "platform/Images.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Window.h"
#include "reader/ReaderControlsDelegate.h"
#include "reader/ReaderSettings.h"

BtnSetLightViewController::BtnSetLightViewController(ReaderControlsDelegate* delegate,
                                                     QWidget* parent)
    : ViewController(parent), delegate(delegate) {
    setObjectName(QStringLiteral("BtnSetLightViewController"));
}

BtnSetLightViewController::~BtnSetLightViewController() = default;

void BtnSetLightViewController::viewDidLoad() {
    const int w = Window::screenBounds().width();
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("brightnessSlider"));
    slider_->setGeometry(40, 5, w - 80, 50);
    slider_->setRange(0, 100 * kSteps);
    const double stored = ReaderSettings::sliderBrightness(
        UserDefaults::standard().objectForKey(QStringLiteral("LightSizeId")));
    slider_->setValue(qRound(stored * kSteps));
    connect(slider_, &QSlider::valueChanged, this, &BtnSetLightViewController::sliderChanged);

    const QPixmap weak = Images::named(QStringLiteral("read_tanchuButton_luminance_weak"));
    img1_ = new QLabel(this);
    img1_->setPixmap(weak);
    img1_->setGeometry(QRect(QPoint(12, 16), weak.deviceIndependentSize().toSize()));
    const QPixmap strong = Images::named(QStringLiteral("read_tanchuButton_luminance_adding"));
    img2_ = new QLabel(this);
    img2_->setPixmap(strong);
    img2_->setGeometry(QRect(QPoint(285, 16), strong.deviceIndependentSize().toSize()));
}

double BtnSetLightViewController::value() const {
    return slider_ ? double(slider_->value()) / kSteps : 0;
}

void BtnSetLightViewController::moveSliderTo(double value) {
    loadViewIfNeeded();
    slider_->setValue(qRound(value * kSteps));
}

void BtnSetLightViewController::sliderChanged(int position) {
    const QString text = ReaderSettings::brightnessText(double(position) / kSteps);
    if (delegate)
        delegate->changeLuminance(text);
    UserDefaults& defaults = UserDefaults::standard();
    defaults.setObject(QStringLiteral("LightSizeId"), text);
    defaults.synchronize();
}
