#include "platform/ui/ProgressHUD.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <cmath>

#include "platform/ui/Animation.h"

namespace {
constexpr int kFadeMs = 300;
constexpr int kSpokes = 12;
} // namespace

ProgressHUD::ProgressHUD(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("ProgressHUD"));
    if (window)
        setGeometry(window->rect());
    spin_ = new QTimer(this);
    spin_->setInterval(80);
    connect(spin_, &QTimer::timeout, this, [this] {
        phase_ = (phase_ + 1) % kSpokes;
        update();
    });
    hide();
}

ProgressHUD::~ProgressHUD() = default;

void ProgressHUD::setLabelText(const QString& text) {
    label_ = text;
    update();
}

void ProgressHUD::showAnimated() {
    if (parentWidget())
        setGeometry(parentWidget()->rect());
    Animation::setOpacity(this, 0);
    show();
    raise();
    spin_->start();
    Animation::fade(this, 1.0, kFadeMs);
}

void ProgressHUD::hideAnimated() {
    if (hiding_)
        return;
    hiding_ = true;
    setAttribute(Qt::WA_TransparentForMouseEvents);
    Animation::fade(this, 0.0, kFadeMs, [this] {
        spin_->stop();
        hide();
        deleteLater();
    });
}

void ProgressHUD::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f = font();
    f.setPixelSize(15);
    f.setBold(true);
    const QFontMetrics fm(f);
    const int textWidth = label_.isEmpty() ? 0 : fm.horizontalAdvance(label_);
    const int w = std::max(110, std::min(width() - 40, textWidth + 32));
    const int h = label_.isEmpty() ? 100 : 110;
    const QRectF box((width() - w) / 2.0, (height() - h) / 2.0, w, h);
    QPainterPath path;
    path.addRoundedRect(box, 10, 10);
    p.fillPath(path, QColor(0x14, 0x10, 0x0e, 200));
    const QPointF c(box.center().x(), box.top() + (label_.isEmpty() ? h / 2.0 : 42));
    for (int i = 0; i < kSpokes; ++i) {
        const double angle = 2 * M_PI * i / kSpokes;
        const int age = (phase_ - i + kSpokes) % kSpokes;
        QColor spoke(255, 255, 255, 255 - age * 200 / kSpokes);
        p.setPen(QPen(spoke, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(std::cos(angle) * 9, std::sin(angle) * 9),
                   c + QPointF(std::cos(angle) * 17, std::sin(angle) * 17));
    }
    if (!label_.isEmpty()) {
        p.setPen(Qt::white);
        p.setFont(f);
        p.drawText(QRectF(box.left() + 8, box.top() + 70, box.width() - 16, 26), Qt::AlignCenter,
                   fm.elidedText(label_, Qt::ElideRight, int(box.width() - 16)));
    }
}
