#include "reader/BookMarkCell.h"

#include <QPainter>

#include "platform/Images.h"

BookMarkCell::BookMarkCell(QObject* parent) : QStyledItemDelegate(parent) {}

BookMarkCell::~BookMarkCell() = default;

void BookMarkCell::paint(QPainter* p, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const QRect r = option.rect;
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    QFont title(QStringLiteral("Arial"));
    title.setBold(true);
    title.setPixelSize(18);
    p->setFont(title);
    p->setPen(Qt::black);
    const QRect titleRect(r.x() + 8, r.y() + 4, r.width() - 8 - 36, 22);
    p->drawText(titleRect, Qt::AlignVCenter | Qt::AlignLeft,
                p->fontMetrics().elidedText(index.data(TitleRole).toString(), Qt::ElideRight,
                                            titleRect.width()));
    QFont time(QStringLiteral("Arial"));
    time.setPixelSize(16);
    p->setFont(time);
    p->setPen(QColor(130, 122, 112));
    p->drawText(QRect(r.x() + 8, r.y() + 26, r.width() - 44, 20), Qt::AlignVCenter | Qt::AlignLeft,
                index.data(TimeRole).toString());
    if (ribbon_.isNull())
        ribbon_ = Images::named(QStringLiteral("public_Icon_bookmark"), QSize(20, 41));
    const QPixmap& ribbon = ribbon_;
    if (!ribbon.isNull())
        p->drawPixmap(r.right() - 28, r.y() + (r.height() - 41) / 2, ribbon);
    p->setPen(QColor(0, 0, 0, 30));
    p->drawLine(r.bottomLeft(), r.bottomRight());
    p->restore();
}

QSize BookMarkCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width(), kHeight);
}
