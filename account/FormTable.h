#pragma once

#include <QList>
#include <QWidget>

class QLabel;

// The grouped one-section table the sign-in forms are laid out in: rounded rows of 44 points,
// each with a label on the left and its field on the right. Rows do not highlight and the table
// does not scroll.
class FormTable final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormTable)

public:
    static constexpr int kRowHeight = 44;

    explicit FormTable(QWidget* parent = nullptr, int labelWidth = 78);
    ~FormTable() override;

    // Adds a row; the table takes the field as its child.
    void addRow(const QString& label, QWidget* field);
    int rowCount() const { return int(rows_.size()); }
    QWidget* fieldAt(int row) const;
    QString labelAt(int row) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Row {
        QLabel* label;
        QWidget* field;
    };
    void layoutRows();

    QList<Row> rows_;
    int labelWidth_;
};
