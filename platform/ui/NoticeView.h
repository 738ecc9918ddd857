#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

class QLabel;

// The short-lived notice a screen owns: a panel 130 points wide with corners of radius 10, at
// opacity 0.75, the image above the text (bold, 16 points, wrapped), ending 10 points below the
// text. displayNotification fades it in, keeps it for 1.0 s and fades it out, at speed 0.5, and
// does nothing while the previous notice still animates.
class NoticeView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NoticeView)

public:
    static constexpr int kWidth = 130;
    static constexpr double kOpacity = 0.75;

    // A child of the screen's view, centred on it `pointsAboveCentre` above the middle.
    explicit NoticeView(QWidget* screen, int pointsAboveCentre = 20);
    ~NoticeView() override;

    void showBDK(const QString& text, const QString& imageName);
    void displayNotification();
    // The network notice: "The network is not good" with read_refresh_no.
    void showNetworkNotice();
    // Hides a notice at once (screens do it when they are about to appear).
    void hideNotice();

    bool isAnimating() const { return animating_; }
    QString text() const { return text_; }
    QString imageName() const { return imageName_; }
    void setPointsAboveCentre(int points);
    // How many notices were displayed so far (a display ignored while animating is not counted).
    int displayCount() const { return displays_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void relayout();

    QString text_;
    QString imageName_;
    QPixmap image_;
    int above_ = 20;
    bool animating_ = false;
    int displays_ = 0;
};
