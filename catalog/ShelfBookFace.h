#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <QString>

// The face of one book on the shelf, drawn in one piece: the cover image (or the empty-cover
// artwork with the title written on it), the cover's edge, and the name strip along the bottom
// with the title. Pressed, the face darkens. A shelf shows many of these at once, so nothing
// here is a widget of its own.
class ShelfBookFace final : public QAbstractButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShelfBookFace)

public:
    static constexpr int kWidth = 65;
    static constexpr int kHeight = 90;
    static constexpr int kStripHeight = 22;
    // Rows at the bottom of the strip that the title leaves free (a kept book's bar runs there).
    static constexpr int kBottomClear = 3;

    ShelfBookFace(const QString& title, const QPixmap& cover, QWidget* parent = nullptr);
    ~ShelfBookFace() override;

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    QString title() const { return title_; }
    // True when the face shows the book's own cover rather than the empty-cover artwork.
    bool showsCover() const { return !cover_.isNull(); }

    QSize sizeHint() const override { return {kWidth, kHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
    QPixmap cover_;
    int tag_ = 0;
};
