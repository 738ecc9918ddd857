#pragma once

#include <QColor>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

// A switch between two or more titled segments: a thumb image slides under the selected
// title over a stretched background image. A tap (or a drag of the thumb let go over a
// segment) selects that segment and emits valueChanged; setSelectedIndex() does not.
class SVSegmentedControl final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SVSegmentedControl)

public:
    static constexpr int kThumbSlideMs = 200;

    explicit SVSegmentedControl(const QStringList& titles, QWidget* parent = nullptr);
    ~SVSegmentedControl() override;

    QStringList titles() const { return titles_; }
    int selectedIndex() const { return selectedIndex_; }
    void setSelectedIndex(int index, bool animated = false);

    void setBackgroundImage(const QPixmap& image);
    void setThumbImage(const QPixmap& image);
    void setTextColor(const QColor& color);
    void setThumbTextColor(const QColor& color);
    // The caps kept unstretched on both images (left and right).
    void setImageCapWidth(int width);
    void setHeight(int height);

    QRect segmentRect(int index) const;
    QRectF thumbRect() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void valueChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int segmentAt(double x) const;
    double segmentWidth() const;
    void slideThumbTo(int index, bool animated);

    QStringList titles_;
    int selectedIndex_ = 0;
    double thumbX_ = 0;
    QPixmap background_;
    QPixmap thumb_;
    QColor textColor_{90, 90, 90};
    QColor thumbTextColor_{Qt::white};
    int capWidth_ = 10;
    int height_ = 32;
    bool pressed_ = false;
    bool draggingThumb_ = false;
    double pressX_ = 0;
    double pressThumbX_ = 0;
};
