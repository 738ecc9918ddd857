#include "account/FormTable.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kPanel(0xff, 0xfd, 0xf8);
const QColor kBorder(0xcf, 0xc4, 0xb4);
const QColor kLabel(0x5a, 0x46, 0x34);
} // namespace

FormTable::FormTable(QWidget* parent, int labelWidth) : QWidget(parent), labelWidth_(labelWidth) {
    setObjectName(QStringLiteral("formTable"));
}

FormTable::~FormTable() = default;

void FormTable::addRow(const QString& text, QWidget* field) {
    auto* label = new QLabel(text, this);
    QFont f = label->font();
    f.setPixelSize(15);
    f.setBold(true);
    label->setFont(f);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, kLabel);
    label->setPalette(p);
    // Taps on a label fall through to the screen (its background tap closes the keyboard).
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    field->setParent(this);
    field->show();
    rows_.append({label, field});
    layoutRows();
    update();
}

QWidget* FormTable::fieldAt(int row) const {
    return row >= 0 && row < rows_.size() ? rows_.at(row).field : nullptr;
}

QString FormTable::labelAt(int row) const {
    return row >= 0 && row < rows_.size() ? rows_.at(row).label->text() : QString();
}

QSize FormTable::sizeHint() const {
    return {300, int(rows_.size()) * kRowHeight};
}

void FormTable::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutRows();
}

void FormTable::layoutRows() {
    for (int i = 0; i < rows_.size(); ++i) {
        const int y = i * kRowHeight;
        rows_[i].label->setGeometry(12, y, labelWidth_ - 12, kRowHeight);
        rows_[i].field->setGeometry(labelWidth_, y + 7, width() - labelWidth_ - 8, kRowHeight - 14);
    }
}

void FormTable::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(r, 9, 9);
    p.fillPath(path, kPanel);
    p.setPen(QPen(kBorder, 1));
    p.drawPath(path);
    for (int i = 1; i < rows_.size(); ++i) {
        const qreal y = i * kRowHeight + 0.5;
        p.drawLine(QPointF(1, y), QPointF(width() - 1, y));
    }
}
