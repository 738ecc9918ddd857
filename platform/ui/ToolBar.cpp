#include "platform/ui/ToolBar.h"

#include <QPainter>

ToolBar::ToolBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ToolBar"));
    setBackgroundImageNamed(QStringLiteral("public_toolBg"));
}

ToolBar::~ToolBar() = default;

void ToolBar::setBackgroundImageNamed(const QString& name) {
    backgroundName_ = name;
    background_ = StretchableImage::named(name, QMargins(4, 4, 4, 4));
    update();
}

void ToolBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (background_.isNull())
        p.fillRect(rect(), QColor(0x3a, 0x30, 0x2a));
    else
        background_.draw(p, rect());
}
