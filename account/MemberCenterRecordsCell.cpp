#include "account/MemberCenterRecordsCell.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "platform/ui/ImageView.h"

MemberCenterRecordsCell::MemberCenterRecordsCell(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MemberCenterRecordsCell"));
    setCursor(Qt::PointingHandCursor);
    image_ = new ImageView(this);
    image_->setObjectName(QStringLiteral("image"));
    image_->setAttribute(Qt::WA_TransparentForMouseEvents);
    cellTitleLabel_ = new QLabel(this);
    cellTitleLabel_->setObjectName(QStringLiteral("cellTitleLabel"));
    QFont title = cellTitleLabel_->font();
    title.setPixelSize(18);
    title.setBold(true);
    cellTitleLabel_->setFont(title);
    cellTitleLabel_->setStyleSheet(
        QStringLiteral("color: rgb(74,54,38); background: transparent;"));
    cellTitleLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    countLabel_ = new QLabel(this);
    countLabel_->setObjectName(QStringLiteral("countLabel"));
    countLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    countLabel_->setStyleSheet(QStringLiteral("color: rgb(150,130,105); background: transparent;"));
    countLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(300, kHeight);
}

MemberCenterRecordsCell::~MemberCenterRecordsCell() = default;

void MemberCenterRecordsCell::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    image_->setGeometry(14, (height() - 26) / 2, 26, 26);
    cellTitleLabel_->setGeometry(52, 0, width() - 52 - 80, height());
    countLabel_->setGeometry(width() - 100, 0, 66, height());
}

void MemberCenterRecordsCell::setHighlighted(bool on) {
    highlighted_ = on;
    update();
}

void MemberCenterRecordsCell::setSeparatorShown(bool shown) {
    separator_ = shown;
    update();
}

void MemberCenterRecordsCell::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (highlighted_)
        p.fillRect(rect().adjusted(1, 0, -1, 0), QColor(236, 122, 0, 60));
    if (separator_) {
        p.setPen(QPen(QColor(214, 199, 174), 1));
        p.drawLine(QPointF(12, height() - 0.5), QPointF(width() - 0.5, height() - 0.5));
    }
    // The disclosure chevron.
    p.setPen(QPen(QColor(160, 140, 115), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal x = width() - 22;
    const qreal y = height() / 2.0;
    p.drawPolyline(QPolygonF({QPointF(x, y - 5), QPointF(x + 6, y), QPointF(x, y + 5)}));
}

void MemberCenterRecordsCell::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    setHighlighted(true);
}

void MemberCenterRecordsCell::mouseReleaseEvent(QMouseEvent* event) {
    if (!highlighted_)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (!inside) {
        setHighlighted(false);
        return;
    }
    // The tap may take the whole screen away with this row.
    QPointer<MemberCenterRecordsCell> self(this);
    if (tapped_) {
        const auto tapped = tapped_;
        tapped();
    }
    if (self)
        setHighlighted(false);
}
