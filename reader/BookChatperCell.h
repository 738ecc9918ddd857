#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

// Draws one row of the table of contents, 44 points high: the free-chapter icon, the title,
// and "已下载" or a red "未下载". The row of the chapter being read is blue with white text.
class BookChatperCell final : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BookChatperCell)

public:
    static constexpr int kHeight = 44;
    // Item data roles of a row.
    enum Role { TitleRole = Qt::UserRole + 1, DownStatusRole, CurrentRole, TappedRole };

    explicit BookChatperCell(QObject* parent = nullptr);
    ~BookChatperCell() override;

    static QString downloadText(const QString& downstatus);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    mutable QPixmap icon_;
};
