#include "reader/BookChatperCell.h"

#include <QPainter>

#include "app/tooles.h"
#include "platform/Images.h"

BookChatperCell::BookChatperCell(QObject* parent) : QStyledItemDelegate(parent) {}

BookChatperCell::~BookChatperCell() = default;

QString BookChatperCell::downloadText(const QString& downstatus) {
    return downstatus == QLatin1String("1") ? QStringLiteral("已下载") : QStringLiteral("未下载");
}

void BookChatperCell::paint(QPainter* p, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const QRect r = option.rect;
    const bool current = index.data(CurrentRole).toBool();
    const bool tapped = index.data(TappedRole).toBool();
    const bool downloaded = index.data(DownStatusRole).toString() == QLatin1String("1");
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    if (current)
        p->fillRect(r, tooles::selectionColor());
    const bool light = current || tapped;

    if (icon_.isNull())
        icon_ = Images::named(QStringLiteral("column_Icon_free"), QSize(20, 20));
    const QPixmap& icon = icon_;
    if (!icon.isNull())
        p->drawPixmap(r.x() + 8, r.y() + (r.height() - 20) / 2, icon);

    QFont title(QStringLiteral("Arial"));
    title.setBold(true);
    title.setPixelSize(15);
    p->setFont(title);
    p->setPen(light ? QColor(Qt::white) : (current ? QColor(Qt::white) : QColor(51, 51, 51)));
    const QRect titleRect(r.x() + 36, r.y(), r.width() - 36 - 64, r.height());
    p->drawText(titleRect, Qt::AlignVCenter | Qt::AlignLeft,
                p->fontMetrics().elidedText(index.data(TitleRole).toString(), Qt::ElideRight,
                                            titleRect.width()));

    QFont state(QStringLiteral("Arial"));
    state.setPixelSize(14);
    p->setFont(state);
    QColor stateColor = downloaded ? QColor(128, 128, 128) : QColor(Qt::red);
    if (light && downloaded)
        stateColor = Qt::white;
    p->setPen(stateColor);
    p->drawText(QRect(r.right() - 60, r.y(), 56, r.height()), Qt::AlignVCenter | Qt::AlignRight,
                downloadText(index.data(DownStatusRole).toString()));

    p->setPen(QColor(0, 0, 0, 30));
    p->drawLine(r.bottomLeft(), r.bottomRight());
    p->restore();
}

QSize BookChatperCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width(), kHeight);
}
