#pragma once

#include <QWidget>
#include <functional>

// The reader's five toolbar items, 64 points wide each, an icon above a white label: refresh,
// font size, brightness, day/night and jump. A tap anywhere on the toolbar is reported by its
// x; the reader maps it to an item.
class ReaderToolbarItems final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReaderToolbarItems)

public:
    explicit ReaderToolbarItems(QWidget* parent = nullptr);
    ~ReaderToolbarItems() override;

    void setTapHandler(std::function<void(double x)> handler) { tap_ = std::move(handler); }
    // Item 4 shows the style it switches to: "夜间模式" by day, "白天模式" by night.
    void setNightStyle(bool night);
    QString titleOf(int item) const;
    QString imageOf(int item) const;
    // Where item (1…5) sits.
    QRect itemRect(int item) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<void(double)> tap_;
    bool night_ = false;
};
