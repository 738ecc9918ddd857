#pragma once

#include <QDateTime>
#include <QPixmap>
#include <QWidget>

class QLabel;
class ActivityIndicatorView;

// One strip of the pull-to-refresh table: the header above the content or the footer below
// it, with a state text, the last-update text, an arrow that turns when pulled far enough
// and a spinner while loading.
class PullLoadingView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PullLoadingView)

public:
    enum State { Normal = 0, Pulling = 1, Loading = 2, ReachedTheEnd = 3 };

    PullLoadingView(bool atTop, QWidget* parent);
    ~PullLoadingView() override;

    bool atTop() const { return atTop_; }
    int state() const { return state_; }
    bool loading() const { return loading_; }
    void setLoading(bool on) { loading_ = on; }

    // Setting the state a strip already has, or a value above 3, does nothing; so do 0 and 1
    // while loading, and 3 on the header.
    void setState(int state, bool animated);
    void setState(int state) { setState(state, true); }

    void updateRefreshDate(const QDateTime& date);
    // "今天 HH:mm", "昨天 HH:mm", "前天 HH:mm" or "yyyy-MM-dd HH:mm".
    static QString refreshDateText(const QDateTime& date, const QDateTime& now);

    QString stateText() const;
    QString dateText() const;
    bool arrowVisible() const;
    bool spinnerVisible() const;
    double arrowAngle() const { return arrowAngle_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutParts();
    void turnArrow(double degrees, bool animated);
    void applyArrowAngle(double degrees);

    bool atTop_;
    int state_ = Normal;
    bool loading_ = false;
    QLabel* stateLabel_;
    QLabel* dateLabel_;
    QLabel* arrowView_;
    QPixmap arrow_;
    ActivityIndicatorView* activityView_;
    double arrowAngle_ = 0;
};
