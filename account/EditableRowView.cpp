#include "account/EditableRowView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <cmath>

#include "platform/ui/GestureRecognizer.h"
#include "widgets/PullingRefreshTableView.h"

namespace {
// The round red edit-mode control with its white bar.
class DeleteControl final : public QWidget {
public:
    explicit DeleteControl(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("deleteControl"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF circle(QPointF(width() / 2.0 - 10, height() / 2.0 - 10), QSizeF(20, 20));
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(QColor(214, 52, 36));
        p.drawEllipse(circle);
        p.fillRect(QRectF(circle.left() + 5, circle.center().y() - 1.25, 10, 2.5), Qt::white);
    }
};
} // namespace

EditableRowView::EditableRowView(QWidget* cell, QWidget* parent)
    : QWidget(parent), cell_(cell), control_(new DeleteControl(this)),
      delete_(new QPushButton(QStringLiteral("删除"), this)) {
    setObjectName(QStringLiteral("editableRow"));
    setAttribute(Qt::WA_TranslucentBackground);
    cell_->setParent(this);
    control_->hide();
    delete_->setObjectName(QStringLiteral("rowDeleteButton"));
    delete_->setCursor(Qt::PointingHandCursor);
    delete_->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; font: bold 15px 'Arial'; border: 1px solid rgb(160, 30, "
        "20); border-radius: 5px; background-color: rgb(214, 52, 36); }"
        "QPushButton:pressed { background-color: rgb(170, 36, 24); }"));
    delete_->hide();
    connect(delete_, &QPushButton::clicked, this, [this] {
        setDeleteShown(false);
        // The owner removes this row (and may destroy it) in onDelete: nothing of this after.
        if (auto fn = onDelete)
            fn();
    });
    // Presses on the cell's texts and pictures reach the row; its buttons keep their own.
    GestureRecognizer::add(control_, GestureRecognizer::Kind::Tap, this,
                           [this](QPoint) { setDeleteShown(!deleteShown_); });
    layoutParts();
}

EditableRowView::~EditableRowView() = default;

void EditableRowView::setEditing(bool on) {
    if (editing_ == on)
        return;
    editing_ = on;
    if (!on)
        setDeleteShown(false);
    layoutParts();
}

void EditableRowView::setDeleteShown(bool on) {
    if (deleteShown_ == on)
        return;
    deleteShown_ = on;
    delete_->setVisible(on);
    if (on)
        delete_->raise();
    if (onDeleteShownChanged)
        onDeleteShownChanged(on);
}

bool EditableRowView::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange)
        followSwipesOfList();
    return QWidget::event(event);
}

void EditableRowView::followSwipesOfList() {
    disconnect(swipes_);
    // A pulling list keeps a sideways drag from its rows (their press never comes) and tells
    // which row it crossed instead.
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* list = qobject_cast<PullingRefreshTableView*>(w)) {
            swipes_ = connect(list, &PullingRefreshTableView::rowSwiped, this,
                              [this, list](int row, int dx) {
                                  if (list->cellWidget(row, 0) == this)
                                      swiped(dx);
                              });
            return;
        }
    }
}

void EditableRowView::swiped(int dx) {
    if (dx <= -GestureRecognizer::kSwipeDistance)
        setDeleteShown(true);
    else if (dx >= GestureRecognizer::kSwipeDistance)
        setDeleteShown(false);
}

void EditableRowView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutParts();
}

void EditableRowView::layoutParts() {
    const int indent = editing_ ? kEditIndent : 0;
    control_->setVisible(editing_);
    control_->setGeometry(0, 0, kEditIndent, height());
    cell_->setGeometry(indent, 0, width() - indent, height());
    delete_->setGeometry(width() - kDeleteWidth - 8, (height() - 30) / 2, kDeleteWidth, 30);
}

void EditableRowView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressed_ = true;
    pressAt_ = event->globalPosition().toPoint();
    event->accept();
}

void EditableRowView::mouseReleaseEvent(QMouseEvent* event) {
    if (!pressed_ || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressed_ = false;
    event->accept();
    released(event->globalPosition().toPoint());
}

void EditableRowView::released(const QPoint& at) {
    const QPoint d = at - pressAt_;
    if (std::abs(d.x()) >= GestureRecognizer::kSwipeDistance &&
        std::abs(d.x()) > 2 * std::abs(d.y())) {
        swiped(d.x());
        return;
    }
    if (d.manhattanLength() > GestureRecognizer::kTapSlop)
        return; // a drag of the list
    if (deleteShown_) {
        setDeleteShown(false);
        return;
    }
    if (auto fn = onTap)
        fn();
}
