#include "widgets/PullingRefreshTableView.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QScrollEvent>
#include <QScrollPrepareEvent>
#include <QScroller>
#include <QScrollerProperties>
#include <cmath>

#include "platform/Clock.h"
#include "platform/Timing.h"
#include "widgets/Animator.h"
#include "widgets/PullLoadingView.h"

PullingRefreshTableViewDelegate::~PullingRefreshTableViewDelegate() = default;
void PullingRefreshTableViewDelegate::pullingTableViewDidStartRefreshing(PullingRefreshTableView*) {
}
void PullingRefreshTableViewDelegate::pullingTableViewDidStartLoading(PullingRefreshTableView*) {}

namespace {
constexpr int kInsetMs = 180;
constexpr int kRefreshEndMs = 360;
constexpr int kMessageSlideMs = 400;
constexpr int kMessageShownMs = 1200;
constexpr int kAutoScrollMs = 700;
} // namespace

PullingRefreshTableView::PullingRefreshTableView(const QRect& frame,
                                                 PullingRefreshTableViewDelegate* pullingDelegate,
                                                 QWidget* parent)
    : QTableWidget(parent), pullingDelegate_(pullingDelegate),
      headerView_(new PullLoadingView(true, this)), footerView_(new PullLoadingView(false, this)) {
    setObjectName(QStringLiteral("pullingRefreshTableView"));
    setGeometry(frame);
    // A plain phone list: one column, no grid, no headers, no scroll bars, scrolled by pixel.
    setColumnCount(1);
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    setShowGrid(false);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);

    QScroller::grabGesture(viewport(), QScroller::LeftMouseButtonGesture);
    QScroller* scroller = QScroller::scroller(viewport());
    QScrollerProperties props = scroller->scrollerProperties();
    props.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy,
                          QVariant::fromValue(QScrollerProperties::OvershootAlwaysOn));
    props.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy,
                          QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
    props.setScrollMetric(QScrollerProperties::OvershootDragDistanceFactor, 0.5);
    scroller->setScrollerProperties(props);
    connect(scroller, &QScroller::stateChanged, this,
            [this](QScroller::State s) { scrollerStateChanged(static_cast<int>(s)); });

    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (applyingOffset_)
            return;
        // Scrolled by wheel or keys: the offset follows, resting on the insets at either end.
        if (value <= 0)
            offset_ = qMin(0.0, qMax(offset_, double(-insetTop_)));
        else if (value >= maxScroll())
            offset_ = qMax(double(value), qMin(offset_, double(maxScroll() + insetBottom_)));
        else
            offset_ = value;
        applyOffset();
        tableViewDidScroll();
    });
    layoutStrips();
}

PullingRefreshTableView::~PullingRefreshTableView() {
    QScroller::ungrabGesture(viewport());
}

int PullingRefreshTableView::contentHeight() const {
    return verticalHeader()->length();
}

int PullingRefreshTableView::maxScroll() const {
    return qMax(0, contentHeight() - viewport()->height());
}

void PullingRefreshTableView::setContentOffsetY(double y) {
    offset_ = y;
    applyOffset();
    tableViewDidScroll();
}

void PullingRefreshTableView::applyOffset() {
    const int ms = maxScroll();
    int value = 0;
    int shift = 0;
    if (offset_ < 0) {
        shift = static_cast<int>(std::lround(-offset_));
    } else if (offset_ > ms) {
        value = ms;
        shift = -static_cast<int>(std::lround(offset_ - ms));
    } else {
        value = static_cast<int>(std::lround(offset_));
    }
    applyingOffset_ = true;
    if (verticalScrollBar()->maximum() < value)
        verticalScrollBar()->setMaximum(value);
    verticalScrollBar()->setValue(value);
    shift_ = shift;
    const QMargins pulled(0, shift, 0, -shift);
    // The viewport keeps its height and moves: down to uncover the header, up the footer.
    if (viewportMargins() != pulled)
        setViewportMargins(pulled);
    applyingOffset_ = false;
    layoutStrips();
}

void PullingRefreshTableView::layoutStrips() {
    const int w = width();
    const int h = height();
    const int contentTop = shift_ - verticalScrollBar()->value();
    headerView_->setGeometry(0, contentTop - h, w, h);
    footerView_->setGeometry(0, contentTop + qMax(contentHeight(), h), w, h);
    footerView_->setVisible(!headerOnly_);
    if (msgLabel_)
        msgLabel_->resize(w, kMessageHeight);
}

void PullingRefreshTableView::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    applyOffset();
}

void PullingRefreshTableView::updateGeometries() {
    QTableWidget::updateGeometries();
    // The table view sets the viewport margins for its (hidden) headers; ours move the content.
    const QMargins pulled(0, shift_, 0, -shift_);
    if (viewportMargins() != pulled)
        setViewportMargins(pulled);
    if (!applyingOffset_)
        contentSizeChanged();
}

void PullingRefreshTableView::contentSizeChanged() {
    const int height = contentHeight();
    if (height == lastContentHeight_) {
        layoutStrips();
        return;
    }
    lastContentHeight_ = height;
    // The same offset may now fall inside the content rather than beyond its end.
    applyOffset();
    if (autoScrollToNextPage_ && isFooterInAction_) {
        isFooterInAction_ = false;
        const double from = offset_;
        const double to = qMin(offset_ + viewport()->height(), double(maxScroll()));
        Animator::run(this, kAutoScrollMs, QEasingCurve::OutCubic, [this, from, to](double t) {
            offset_ = from + (to - from) * t;
            applyOffset();
        });
    }
}

bool PullingRefreshTableView::event(QEvent* event) {
    if (event->type() == QEvent::ScrollPrepare || event->type() == QEvent::Scroll)
        return viewportEvent(event);
    return QTableWidget::event(event);
}

bool PullingRefreshTableView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ScrollPrepare) {
        // The scroller may pull the content as far as the insets allow, then overshoots.
        // Sideways it gets a viewport's width each way, never shown: that lets a sideways drag
        // start (rather than being given up and replayed as a tap) and measures it.
        auto* prepare = static_cast<QScrollPrepareEvent*>(event);
        const int ms = maxScroll();
        const int w = viewport()->width();
        prepare->setViewportSize(viewport()->size());
        prepare->setContentPosRange(QRectF(-w, -insetTop_, 2 * w, ms + insetTop_ + insetBottom_));
        prepare->setContentPos(QPointF(0, offset_));
        prepare->accept();
        dragStart_ = prepare->startPos().toPoint();
        return true;
    }
    if (event->type() == QEvent::Scroll) {
        auto* scroll = static_cast<QScrollEvent*>(event);
        dragMoved(scroll->contentPos() + scroll->overshootDistance());
        return true;
    }
    return QTableWidget::viewportEvent(event);
}

void PullingRefreshTableView::dragMoved(const QPointF& contentPos) {
    if (dragging_ && dragAxis_ == DragAxis::Undecided) {
        const double dx = contentPos.x();
        const double dy = contentPos.y() - dragStartOffset_;
        if (dx == 0 && dy == 0)
            return;
        dragAxis_ = std::abs(dx) > std::abs(dy) ? DragAxis::Sideways : DragAxis::Vertical;
    }
    if (dragAxis_ == DragAxis::Sideways) {
        // The content follows the finger's opposite way: the finger went -x.
        if (dragging_)
            sideways_ = -contentPos.x();
        return;
    }
    setContentOffsetY(contentPos.y());
}

void PullingRefreshTableView::scrollerStateChanged(int state) {
    if (state == QScroller::Dragging) {
        dragging_ = true;
        dragAxis_ = DragAxis::Undecided;
        dragStartOffset_ = offset_;
        sideways_ = 0;
        return;
    }
    if (state == QScroller::Inactive && !dragging_)
        dragAxis_ = DragAxis::Undecided;
    if (!dragging_)
        return;
    dragging_ = false;
    if (dragAxis_ != DragAxis::Sideways) {
        tableViewDidEndDragging();
        return;
    }
    // A sideways drag does not coast: the list is still again at once, so the next tap on it
    // is a tap rather than what stops the scroller.
    Timing::after(0, this, [this] {
        if (QScroller::hasScroller(viewport()))
            QScroller::scroller(viewport())->stop();
        dragAxis_ = DragAxis::Undecided;
    });
    const int row = rowAt(dragStart_.y());
    const int dx = static_cast<int>(std::lround(sideways_));
    if (row >= 0)
        emit rowSwiped(row, dx); // may close the screen: nothing of this after
}

void PullingRefreshTableView::tableViewDidScroll() {
    if (headerView_->state() == PullLoadingView::Loading ||
        footerView_->state() == PullLoadingView::Loading)
        return;
    const double y = offset_;
    if (y < -kPullDistance) {
        headerView_->setState(PullLoadingView::Pulling);
    } else if (y > -kPullDistance && y < 0) {
        headerView_->setState(PullLoadingView::Normal);
    } else {
        // How far the end of the content has been pulled above the table's bottom.
        const double d = height() + y - contentHeight();
        if (footerView_->state() == PullLoadingView::ReachedTheEnd)
            return;
        if (d > kPullDistance)
            footerView_->setState(PullLoadingView::Pulling);
        else if (d > 0 && d < kPullDistance)
            footerView_->setState(PullLoadingView::Normal);
    }
}

void PullingRefreshTableView::tableViewDidEndDragging() {
    if (headerView_->state() == PullLoadingView::Loading ||
        footerView_->state() == PullLoadingView::Loading)
        return;
    if (headerView_->state() == PullLoadingView::Pulling) {
        isFooterInAction_ = false;
        headerView_->setState(PullLoadingView::Loading);
        animateInsets(kPullDistance, insetBottom_, kInsetMs, QEasingCurve::Linear, {});
        if (pullingDelegate_)
            pullingDelegate_->pullingTableViewDidStartRefreshing(this);
    } else if (footerView_->state() == PullLoadingView::Pulling && !reachedTheEnd_ &&
               !headerOnly_) {
        isFooterInAction_ = true;
        footerView_->setState(PullLoadingView::Loading);
        animateInsets(insetTop_, kPullDistance, kInsetMs, QEasingCurve::Linear, {});
        if (pullingDelegate_)
            pullingDelegate_->pullingTableViewDidStartLoading(this);
    }
}

void PullingRefreshTableView::animateInsets(int top, int bottom, int milliseconds,
                                            const QEasingCurve& curve, std::function<void()> done) {
    insetTop_ = top;
    insetBottom_ = bottom;
    // Content pulled beyond the new insets settles on them, as after a bounce.
    const double from = offset_;
    const double to = qBound(double(-top), offset_, double(maxScroll() + bottom));
    if (QScroller::hasScroller(viewport()) &&
        QScroller::scroller(viewport())->state() != QScroller::Inactive) {
        QScroller::scroller(viewport())->resendPrepareEvent();
        if (done)
            Timing::after(milliseconds, this, std::move(done));
        return;
    }
    if (from == to) {
        if (done)
            Timing::after(milliseconds, this, std::move(done));
        return;
    }
    Animator::run(
        this, milliseconds, curve,
        [this, from, to](double t) {
            offset_ = from + (to - from) * t;
            applyOffset();
        },
        std::move(done));
}

void PullingRefreshTableView::launchRefreshing() {
    setContentOffsetY(0);
    Animator::run(
        this, kInsetMs, QEasingCurve::Linear,
        [this](double t) { setContentOffsetY(-(kPullDistance + 1) * t); },
        [this] { tableViewDidEndDragging(); });
}

void PullingRefreshTableView::tableViewDidFinishedLoading() {
    tableViewDidFinishedLoadingWithMessage(QString());
}

void PullingRefreshTableView::tableViewDidFinishedLoadingWithMessage(const QString& message) {
    auto showMessage = [this, message] {
        if (!message.isEmpty())
            flashMessage(message);
    };
    if (headerView_->loading()) {
        headerView_->setLoading(false);
        headerView_->setState(PullLoadingView::Normal, false);
        headerView_->updateRefreshDate(Clock::now());
        animateInsets(0, 0, kRefreshEndMs, QEasingCurve::OutCubic, showMessage);
    } else if (footerView_->loading()) {
        footerView_->setLoading(false);
        // A list that was told it reached its end while loading keeps saying so.
        footerView_->setState(
            reachedTheEnd_ ? PullLoadingView::ReachedTheEnd : PullLoadingView::Normal, false);
        footerView_->updateRefreshDate(Clock::now());
        animateInsets(0, 0, kInsetMs, QEasingCurve::Linear, showMessage);
    }
}

void PullingRefreshTableView::setReachedTheEnd(bool reached) {
    reachedTheEnd_ = reached;
    footerView_->setState(reached ? PullLoadingView::ReachedTheEnd : PullLoadingView::Normal);
}

void PullingRefreshTableView::setHeaderOnly(bool on) {
    headerOnly_ = on;
    footerView_->setVisible(!on);
}

void PullingRefreshTableView::flashMessage(const QString& message) {
    if (!msgLabel_) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("msgLabel"));
        QFont font = label->font();
        font.setPixelSize(18);
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        label->setStyleSheet(
            QStringLiteral("color: rgb(221, 52, 25); background-color: rgb(220, 215, 204);"));
        label->setGeometry(0, -kMessageHeight, width(), kMessageHeight);
        label->show();
        label->raise();
        msgLabel_ = label;
    }
    QLabel* label = msgLabel_;
    label->setText(message);
    const int startY = label->y();
    Animator::run(
        label, kMessageSlideMs, QEasingCurve::InOutQuad,
        [label, startY](double t) {
            label->move(0, startY + static_cast<int>(std::lround(kMessageHeight * t)));
        },
        [this, label] {
            Timing::after(kMessageShownMs, label, [this, label] {
                const int fromY = label->y();
                Animator::run(
                    label, kMessageSlideMs, QEasingCurve::Linear,
                    [label, fromY](double t) {
                        label->move(0, fromY - static_cast<int>(std::lround(kMessageHeight * t)));
                    },
                    [this, label] {
                        if (msgLabel_ == label)
                            msgLabel_ = nullptr;
                        label->hide();
                        label->deleteLater();
                    });
            });
        });
}
