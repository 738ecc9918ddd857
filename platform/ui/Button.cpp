#include "platform/ui/Button.h"

#include <QPainter>

#include "platform/Images.h"

Button::Button(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setFontSize(14);
}

Button::~Button() = default;

void Button::setAction(QObject* receiver, std::function<void(int)> action) {
    if (!receiver || !action)
        return;
    connect(this, &QAbstractButton::clicked, receiver,
            [this, action = std::move(action)] { action(tag_); });
}

void Button::setTitleColor(const QColor& color) {
    titleColor_ = color;
    update();
}

void Button::setFontSize(int points, bool bold) {
    QFont f = font();
    // Points on the phone are our logical pixels.
    f.setPixelSize(points);
    f.setBold(bold);
    setFont(f);
    update();
}

void Button::setBackgroundImage(const StretchableImage& normal, const StretchableImage& pressed) {
    background_ = normal;
    backgroundPressed_ = pressed;
    update();
}

void Button::setBackgroundImageNamed(const QString& normal, const QString& pressed,
                                     const QMargins& caps) {
    backgroundName_ = normal;
    setBackgroundImage(
        normal.isEmpty() ? StretchableImage() : StretchableImage::named(normal, caps),
        pressed.isEmpty() ? StretchableImage() : StretchableImage::named(pressed, caps));
}

void Button::setImageNamed(const QString& normal, const QString& pressed) {
    imageName_ = normal;
    image_ = normal.isEmpty() ? QPixmap() : Images::named(normal);
    imagePressed_ = pressed.isEmpty() ? QPixmap() : Images::named(pressed);
    update();
}

void Button::setSelected(bool selected) {
    selected_ = selected;
    update();
}

QSize Button::sizeHint() const {
    QSize hint = fontMetrics().size(Qt::TextSingleLine, text()) + QSize(16, 10);
    if (!image_.isNull())
        hint = hint.expandedTo(image_.deviceIndependentSize().toSize());
    return hint.expandedTo(QSize(30, 30));
}

void Button::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool pressed = isDown() || selected_ || isChecked();
    const StretchableImage& bg =
        pressed && !backgroundPressed_.isNull() ? backgroundPressed_ : background_;
    bg.draw(painter, rect());
    if (pressed && backgroundPressed_.isNull() && (!bg.isNull() || !image_.isNull())) {
        // Without a pressed image the press shows as a light shade.
        painter.fillRect(rect(), QColor(0, 0, 0, 40));
    }
    const QPixmap& icon = pressed && !imagePressed_.isNull() ? imagePressed_ : image_;
    if (!icon.isNull()) {
        QSizeF size = icon.deviceIndependentSize();
        if (size.width() > width() || size.height() > height())
            size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
        const QRectF dst(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2),
                         size);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(dst, icon, QRectF(icon.rect()));
    }
    if (!text().isEmpty()) {
        QColor color = titleColor_;
        if (!isEnabled())
            color.setAlphaF(0.45);
        else if (pressed && backgroundPressed_.isNull())
            color = color.darker(115);
        painter.setPen(color);
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
}
