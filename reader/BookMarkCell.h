#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

// Draws one bookmark row, 50 points high: the title, below it the time it was set, and the
// ribbon at the right.
class BookMarkCell final : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BookMarkCell)

public:
    static constexpr int kHeight = 50;
    enum Role { TitleRole = Qt::UserRole + 1, TimeRole };

    explicit BookMarkCell(QObject* parent = nullptr);
    ~BookMarkCell() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    mutable QPixmap ribbon_;
};
