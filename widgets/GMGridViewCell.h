#pragma once

#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <QToolButton>
class GMGridView;

// One item of the grid: the data source's own widgets go into contentView(). In editing mode
// the grid shows the cell's delete icon, placed at the cell's corner plus the delete offset
// and drawn over the neighbouring space if it reaches out of the cell.
class GMGridViewCell final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GMGridViewCell)

public:
    explicit GMGridViewCell(QWidget* parent = nullptr);
    ~GMGridViewCell() override;

    QWidget* contentView() const { return contentView_; }

    void setDeleteButtonIcon(const QPixmap& icon);
    QPixmap deleteButtonIcon() const { return deleteIcon_; }
    void setDeleteButtonOffset(const QPoint& offset);
    QPoint deleteButtonOffset() const { return deleteOffset_; }

    // The grid's part.
    QToolButton* deleteButton() const { return deleteButton_; }
    bool isEditing() const { return editing_; }
    void setEditing(bool editing);
    void placeDeleteButton();

Q_SIGNALS:
    void tapped(GMGridViewCell* cell);
    void deleteTapped(GMGridViewCell* cell);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* contentView_;
    QPointer<QToolButton> deleteButton_;
    QPixmap deleteIcon_;
    QPoint deleteOffset_;
    bool editing_ = false;
    bool pressed_ = false;
};
