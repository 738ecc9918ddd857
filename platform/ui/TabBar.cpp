#include "platform/ui/TabBar.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/Images.h"
#include "platform/ui/StretchableImage.h"

TabBar::TabBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabBar"));
}

TabBar::~TabBar() = default;

void TabBar::setItems(const QList<TabBarItem>& items) {
    items_ = items;
    images_.clear();
    for (const TabBarItem& item : items)
        images_.append(item.imageName.isEmpty() ? QPixmap() : Images::named(item.imageName));
    update();
}

void TabBar::setSelectedIndex(int index) {
    selected_ = index;
    update();
}

void TabBar::setBackgroundImageNamed(const QString& name) {
    background_ = Images::named(name);
    update();
}

void TabBar::setSelectionIndicatorImageNamed(const QString& name) {
    indicator_ = Images::named(name);
    update();
}

void TabBar::setTintColor(const QColor& color) {
    tint_ = color;
    update();
}

QRect TabBar::itemRect(int index) const {
    if (items_.isEmpty() || index < 0 || index >= items_.size())
        return {};
    const int n = int(items_.size());
    const int x0 = index * width() / n;
    const int x1 = (index + 1) * width() / n;
    return QRect(x0, 0, x1 - x0, height());
}

void TabBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (background_.isNull())
        p.fillRect(rect(), QColor(0x2b, 0x24, 0x20));
    else
        StretchableImage::drawPattern(p, rect(), background_);
    QFont f = font();
    f.setPixelSize(11);
    p.setFont(f);
    for (int i = 0; i < items_.size(); ++i) {
        const QRect r = itemRect(i);
        if (i == selected_) {
            const QRect box = r.adjusted(3, 2, -3, -2);
            if (indicator_.isNull())
                p.fillRect(box, QColor(255, 255, 255, 40));
            else
                StretchableImage(indicator_, QMargins(6, 6, 6, 6)).draw(p, box);
        }
        const QPixmap& icon = images_[i];
        if (!icon.isNull()) {
            QSizeF s = icon.deviceIndependentSize();
            s.scale(QSizeF(30, 26), Qt::KeepAspectRatio);
            const QRectF dst(r.center().x() + 1 - s.width() / 2, 5 + (26 - s.height()) / 2,
                             s.width(), s.height());
            p.setOpacity(i == selected_ ? 1.0 : 0.72);
            p.drawPixmap(dst, icon, QRectF(icon.rect()));
            p.setOpacity(1.0);
        }
        QColor text = tint_;
        if (i != selected_)
            text.setAlphaF(0.78);
        p.setPen(text);
        p.drawText(QRect(r.left(), 32, r.width(), 15), Qt::AlignCenter, items_[i].title);
    }
}

void TabBar::mouseReleaseEvent(QMouseEvent* event) {
    for (int i = 0; i < items_.size(); ++i) {
        if (itemRect(i).contains(event->position().toPoint())) {
            Q_EMIT itemClicked(i);
            return;
        }
    }
}
