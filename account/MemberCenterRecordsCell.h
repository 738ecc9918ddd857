#pragma once

#include <QWidget>
#include <functional>

class ImageView;
class QLabel;

// A row of the member center's menu: a 26 x 26 icon, a bold 18-point title, a count (left
// empty by the member center) and a disclosure chevron. A tap shades the row while pressed and
// is reported once the finger lifts inside it.
class MemberCenterRecordsCell final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MemberCenterRecordsCell)

public:
    static constexpr int kHeight = 44;

    explicit MemberCenterRecordsCell(QWidget* parent = nullptr);
    ~MemberCenterRecordsCell() override;

    ImageView* image() const { return image_; }
    QLabel* cellTitleLabel() const { return cellTitleLabel_; }
    QLabel* countLabel() const { return countLabel_; }

    void setTapped(std::function<void()> tapped) { tapped_ = std::move(tapped); }
    // The shade of a pressed row; it goes once the tap was handled.
    void setHighlighted(bool on);
    bool isHighlighted() const { return highlighted_; }
    // Draws the hairline under the row (every row but the last).
    void setSeparatorShown(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ImageView* image_ = nullptr;
    QLabel* cellTitleLabel_ = nullptr;
    QLabel* countLabel_ = nullptr;
    bool highlighted_ = false;
    bool separator_ = true;
    std::function<void()> tapped_;
};
