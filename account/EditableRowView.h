#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class QPushButton;

// One row of an account list: holds the row's cell and adds what a phone list gives every
// deletable row. In edit mode a round red control shows at the left and the cell moves right;
// tapping that control, or swiping the row to the left, reveals a red "删除" button at the
// right, which commits the deletion; swiping it to the right hides the button. A tap while the
// button shows only hides it again. In a pulling list the list tells the row of its swipes.
class EditableRowView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EditableRowView)

public:
    static constexpr int kEditIndent = 32;
    static constexpr int kDeleteWidth = 64;

    EditableRowView(QWidget* cell, QWidget* parent = nullptr);
    ~EditableRowView() override;

    QWidget* cell() const { return cell_; }

    void setEditing(bool on);
    bool isEditing() const { return editing_; }
    void setDeleteShown(bool on);
    bool isDeleteShown() const { return deleteShown_; }
    QPushButton* deleteButton() const { return delete_; }
    QWidget* editControl() const { return control_; }

    // Told when the row is tapped (delete button hidden), when the delete button is pressed,
    // and whenever the delete button appears or goes.
    std::function<void()> onTap;
    std::function<void()> onDelete;
    std::function<void(bool)> onDeleteShownChanged;

    // A sideways swipe dx points long across the row (negative: to the left).
    void swiped(int dx);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void layoutParts();
    void released(const QPoint& at);
    void followSwipesOfList();

    QWidget* cell_;
    QWidget* control_;
    QPushButton* delete_;
    bool editing_ = false;
    bool deleteShown_ = false;
    bool pressed_ = false;
    QPoint pressAt_;
    QMetaObject::Connection swipes_;
};
