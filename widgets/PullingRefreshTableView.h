#pragma once

#include <QPointer>
#include <QTableWidget>

#include <QLabel>
class PullLoadingView;
class PullingRefreshTableView;

// What the owning screen hears from its list. Both are optional.
class PullingRefreshTableViewDelegate {
public:
    virtual ~PullingRefreshTableViewDelegate();
    virtual void pullingTableViewDidStartRefreshing(PullingRefreshTableView* tableView);
    virtual void pullingTableViewDidStartLoading(PullingRefreshTableView* tableView);
};

// The table of every paged list: pulling it down past its top by more than 60 points starts a
// refresh, pulling it up past its end starts loading the next page. A strip above the content
// (the header) and one below it (the footer) show what is happening; the owning screen ends
// either with tableViewDidFinishedLoading(). A mouse drag pulls it like a finger.
//
// A drag that sets off mainly sideways does not scroll: it is the row's. The list stays where it
// is, and when the drag ends rowSwiped() tells which row it began on and how far it went.
//
// The content offset is the phone's: negative while the content is pulled down below the
// table's top, above the scroll range while it is pulled up past its end. Every change of it
// runs tableViewDidScroll(), and letting go of a drag runs tableViewDidEndDragging(); a screen
// may also call both itself.
class PullingRefreshTableView final : public QTableWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PullingRefreshTableView)

public:
    static constexpr int kPullDistance = 60;
    static constexpr int kMessageHeight = 32;

    PullingRefreshTableView(const QRect& frame, PullingRefreshTableViewDelegate* pullingDelegate,
                            QWidget* parent = nullptr);
    ~PullingRefreshTableView() override;

    PullingRefreshTableViewDelegate* pullingDelegate() const { return pullingDelegate_; }
    void setPullingDelegate(PullingRefreshTableViewDelegate* d) { pullingDelegate_ = d; }

    void tableViewDidScroll();
    void tableViewDidEndDragging();
    void launchRefreshing();
    void tableViewDidFinishedLoading();
    void tableViewDidFinishedLoadingWithMessage(const QString& message);
    void flashMessage(const QString& message);

    bool reachedTheEnd() const { return reachedTheEnd_; }
    void setReachedTheEnd(bool reached);
    bool headerOnly() const { return headerOnly_; }
    void setHeaderOnly(bool on);
    bool autoScrollToNextPage() const { return autoScrollToNextPage_; }
    void setAutoScrollToNextPage(bool on) { autoScrollToNextPage_ = on; }
    bool isFooterInAction() const { return isFooterInAction_; }

    PullLoadingView* headerView() const { return headerView_; }
    PullLoadingView* footerView() const { return footerView_; }
    QLabel* msgLabel() const { return msgLabel_; }

    double contentOffsetY() const { return offset_; }
    void setContentOffsetY(double y);
    int contentHeight() const;
    int contentInsetTop() const { return insetTop_; }
    int contentInsetBottom() const { return insetBottom_; }

signals:
    // A sideways drag that began on row ended dx points from where it began (negative: to the
    // left).
    void rowSwiped(int row, int dx);

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;

private:
    int maxScroll() const;
    void applyOffset();
    void layoutStrips();
    void contentSizeChanged();
    void animateInsets(int top, int bottom, int milliseconds, const QEasingCurve& curve,
                       std::function<void()> done);
    void scrollerStateChanged(int state);
    void dragMoved(const QPointF& contentPos);

    // Which way the drag under way set off: the first movement decides.
    enum class DragAxis { Undecided, Vertical, Sideways };

    PullingRefreshTableViewDelegate* pullingDelegate_;
    PullLoadingView* headerView_;
    PullLoadingView* footerView_;
    QPointer<QLabel> msgLabel_;
    bool reachedTheEnd_ = false;
    bool headerOnly_ = false;
    bool autoScrollToNextPage_ = false;
    bool isFooterInAction_ = false;

    double offset_ = 0;
    int insetTop_ = 0;
    int insetBottom_ = 0;
    int lastContentHeight_ = -1;
    int shift_ = 0;
    bool applyingOffset_ = false;
    bool dragging_ = false;
    DragAxis dragAxis_ = DragAxis::Undecided;
    QPoint dragStart_;
    double dragStartOffset_ = 0;
    double sideways_ = 0;
};
