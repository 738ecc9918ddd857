#include "platform/ui/NoticeView.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

#include "platform/Images.h"
#include "platform/Localizable.h"
#include "platform/Timing.h"
#include "platform/ui/Animation.h"

namespace {
constexpr int kMargin = 10;
constexpr int kImageGap = 8;
constexpr int kHoldMs = 1000;
constexpr int kFadeMs = 500; // the notice runs at half speed: half a second per fade

QFont noticeFont(const QFont& base) {
    QFont f = base;
    f.setPixelSize(16);
    f.setBold(true);
    return f;
}
} // namespace

NoticeView::NoticeView(QWidget* screen, int pointsAboveCentre)
    : QWidget(screen), above_(pointsAboveCentre) {
    setObjectName(QStringLiteral("NoticeView"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    if (screen)
        screen->installEventFilter(this);
}

NoticeView::~NoticeView() = default;

void NoticeView::showBDK(const QString& text, const QString& imageName) {
    text_ = text;
    imageName_ = imageName;
    image_ = imageName.isEmpty() ? QPixmap() : Images::named(imageName);
    relayout();
    update();
}

void NoticeView::showNetworkNotice() {
    showBDK(L("The network is not good"), QStringLiteral("read_refresh_no"));
    displayNotification();
}

void NoticeView::setPointsAboveCentre(int points) {
    above_ = points;
    relayout();
}

void NoticeView::relayout() {
    const int inner = kWidth - 2 * kMargin;
    QFontMetrics fm(noticeFont(font()));
    const QRect textRect =
        fm.boundingRect(QRect(0, 0, inner, 10000), Qt::AlignHCenter | Qt::TextWordWrap, text_);
    int h = kMargin;
    if (!image_.isNull())
        h += int(image_.deviceIndependentSize().height()) + kImageGap;
    h += textRect.height() + kMargin;
    QWidget* screen = parentWidget();
    const QPoint centre = screen ? screen->rect().center() : QPoint(0, 0);
    setGeometry(centre.x() - kWidth / 2 + 1, centre.y() - above_ - h / 2, kWidth, h);
}

void NoticeView::displayNotification() {
    if (animating_)
        return;
    animating_ = true;
    ++displays_;
    relayout();
    Animation::setOpacity(this, 0);
    show();
    raise();
    Animation::fade(this, kOpacity, kFadeMs, [this] {
        Timing::after(kHoldMs, this, [this] {
            Animation::fade(this, 0.0, kFadeMs, [this] {
                hide();
                animating_ = false;
            });
        });
    });
}

void NoticeView::hideNotice() {
    // Replaces a running fade, so it cannot bring the notice back; the display still runs to
    // its end, invisibly.
    Animation::fade(this, 0.0, 0);
}

bool NoticeView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize)
        relayout();
    return false;
}

void NoticeView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 10, 10);
    p.fillPath(path, QColor(0x14, 0x10, 0x0e));
    int y = kMargin;
    if (!image_.isNull()) {
        const QSizeF s = image_.deviceIndependentSize();
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(QRectF((width() - s.width()) / 2, y, s.width(), s.height()), image_,
                     QRectF(image_.rect()));
        y += int(s.height()) + kImageGap;
    }
    p.setPen(Qt::white);
    p.setFont(noticeFont(font()));
    p.drawText(QRect(kMargin, y, width() - 2 * kMargin, height() - y - kMargin),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text_);
}
