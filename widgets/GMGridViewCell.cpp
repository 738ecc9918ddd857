#include "widgets/GMGridViewCell.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {
// Drawn when the data source gives no icon: a red disc with a white cross.
QPixmap fallbackDeleteIcon() {
    QPixmap pm(28, 28);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(200, 40, 30));
    p.drawEllipse(QRectF(2, 2, 24, 24));
    p.drawLine(QPointF(10, 10), QPointF(18, 18));
    p.drawLine(QPointF(18, 10), QPointF(10, 18));
    return pm;
}
} // namespace

GMGridViewCell::GMGridViewCell(QWidget* parent)
    : QWidget(parent), contentView_(new QWidget(this)), deleteIcon_(fallbackDeleteIcon()) {
    setObjectName(QStringLiteral("gridCell"));
    contentView_->setObjectName(QStringLiteral("contentView"));
}

GMGridViewCell::~GMGridViewCell() {
    delete deleteButton_;
}

void GMGridViewCell::setDeleteButtonIcon(const QPixmap& icon) {
    deleteIcon_ = icon.isNull() ? fallbackDeleteIcon() : icon;
    placeDeleteButton();
}

void GMGridViewCell::setDeleteButtonOffset(const QPoint& offset) {
    deleteOffset_ = offset;
    placeDeleteButton();
}

void GMGridViewCell::setEditing(bool editing) {
    editing_ = editing;
    placeDeleteButton();
}

void GMGridViewCell::placeDeleteButton() {
    if (!editing_) {
        if (deleteButton_)
            deleteButton_->hide();
        return;
    }
    // The button lives beside the cell, in the grid's content, so that an offset reaching out
    // of the cell is not cut off.
    if (!deleteButton_) {
        if (!parentWidget())
            return;
        auto* button = new QToolButton(parentWidget());
        button->setObjectName(QStringLiteral("deleteButton"));
        button->setAutoRaise(true);
        button->setStyleSheet(QStringLiteral("QToolButton { border: none; background: none; }"));
        connect(button, &QToolButton::clicked, this, [this] { Q_EMIT deleteTapped(this); });
        deleteButton_ = button;
    }
    if (deleteButton_->parentWidget() != parentWidget())
        deleteButton_->setParent(parentWidget());
    const QSizeF size = deleteIcon_.deviceIndependentSize();
    deleteButton_->setIcon(QIcon(deleteIcon_));
    deleteButton_->setIconSize(size.toSize());
    deleteButton_->setGeometry(QRect(pos() + deleteOffset_, size.toSize()));
    deleteButton_->show();
    deleteButton_->raise();
}

void GMGridViewCell::resizeEvent(QResizeEvent*) {
    contentView_->setGeometry(rect());
}

void GMGridViewCell::moveEvent(QMoveEvent*) {
    if (deleteButton_ && editing_)
        placeDeleteButton();
}

void GMGridViewCell::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void GMGridViewCell::mouseReleaseEvent(QMouseEvent* event) {
    if (pressed_ && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        Q_EMIT tapped(this);
    pressed_ = false;
}
