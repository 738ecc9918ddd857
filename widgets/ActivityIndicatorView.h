#pragma once

#include <QWidget>

class QTimer;

// A small spinner: twelve spokes fading around a circle while it animates; hidden when it
// stops unless told otherwise.
class ActivityIndicatorView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ActivityIndicatorView)

public:
    explicit ActivityIndicatorView(QWidget* parent = nullptr);
    ~ActivityIndicatorView() override;

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const;
    void setColor(const QColor& color);
    QSize sizeHint() const override { return {20, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* timer_;
    int step_ = 0;
    QColor color_{90, 90, 90};
};
