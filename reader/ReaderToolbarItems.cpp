#include "reader/ReaderToolbarItems.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "platform/Images.h"

namespace {
constexpr int kItemWidth = 64;
constexpr int kIconSize = 22;
} // namespace

ReaderToolbarItems::ReaderToolbarItems(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("readerToolbarItems"));
}

ReaderToolbarItems::~ReaderToolbarItems() = default;

void ReaderToolbarItems::setNightStyle(bool night) {
    night_ = night;
    update();
}

QString ReaderToolbarItems::titleOf(int item) const {
    switch (item) {
    case 1:
        return QStringLiteral("更新");
    case 2:
        return QStringLiteral("文字大小");
    case 3:
        return QStringLiteral("亮度");
    case 4:
        return night_ ? QStringLiteral("白天模式") : QStringLiteral("夜间模式");
    case 5:
        return QStringLiteral("跳转");
    default:
        return QString();
    }
}

QString ReaderToolbarItems::imageOf(int item) const {
    switch (item) {
    case 1:
        return QStringLiteral("read_bottom_toolBg_Icon_refresh");
    case 2:
        return QStringLiteral("read_bottom_toolBg_Icon_font");
    case 3:
        return QStringLiteral("read_bottom_toolBg_Icon_luminance");
    case 4:
        return night_ ? QStringLiteral("read_bottom_toolBg_Icon_daytime")
                      : QStringLiteral("read_bottom_toolBg_Icon_night");
    case 5:
        return QStringLiteral("read_bottom_toolBg_Icon_progress");
    default:
        return QString();
    }
}

// Five items of 64 points fill the 320-point toolbar, so the flexible spaces between them are
// empty and each item owns its fifth of the bar.
QRect ReaderToolbarItems::itemRect(int item) const {
    const int spare = std::max(0, width() - 5 * kItemWidth);
    const int gap = spare / 6;
    return QRect(gap + (item - 1) * (kItemWidth + gap), 0, kItemWidth, height());
}

void ReaderToolbarItems::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(Qt::white);
    for (int item = 1; item <= 5; ++item) {
        const QRect r = itemRect(item);
        const QPixmap icon = Images::named(imageOf(item), QSize(kIconSize, kIconSize));
        if (!icon.isNull())
            p.drawPixmap(QRect(r.center().x() - kIconSize / 2, 4, kIconSize, kIconSize), icon);
        p.drawText(QRect(r.x(), 4 + kIconSize, r.width(), height() - 4 - kIconSize),
                   Qt::AlignHCenter | Qt::AlignVCenter, titleOf(item));
    }
}

void ReaderToolbarItems::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void ReaderToolbarItems::mouseReleaseEvent(QMouseEvent* event) {
    if (tap_ && rect().contains(event->position().toPoint()))
        tap_(event->position().x());
}
