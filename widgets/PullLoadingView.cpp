#include "widgets/PullLoadingView.h"

#include <QLabel>
#include <QPainter>
#include <QTransform>

#include "platform/Clock.h"
#include "platform/Images.h"
#include "platform/Localizable.h"
#include "widgets/ActivityIndicatorView.h"
#include "widgets/Animator.h"

namespace {
constexpr int kArrowSide = 38;
constexpr int kArrowX = 20;
constexpr int kFlipMs = 180;

QLabel* makeLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPixelSize(12);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: rgb(87, 108, 137); background: transparent;"));
    return label;
}
} // namespace

PullLoadingView::PullLoadingView(bool atTop, QWidget* parent)
    : QWidget(parent), atTop_(atTop), stateLabel_(makeLabel(this, QStringLiteral("stateLabel"))),
      dateLabel_(makeLabel(this, QStringLiteral("dateLabel"))), arrowView_(new QLabel(this)),
      activityView_(new ActivityIndicatorView(this)) {
    setObjectName(atTop ? QStringLiteral("headerView") : QStringLiteral("footerView"));
    arrowView_->setObjectName(QStringLiteral("arrowView"));
    arrowView_->setAlignment(Qt::AlignCenter);
    arrow_ = Images::named(atTop ? QStringLiteral("blueArrow") : QStringLiteral("blueArrowDown"),
                           QSize(kArrowSide, kArrowSide));
    applyArrowAngle(0);
    activityView_->setObjectName(QStringLiteral("activityView"));
    activityView_->hide();
    stateLabel_->setText(atTop ? L("下拉刷新") : L("上拉加载"));
    updateRefreshDate(Clock::now());
    layoutParts();
}

PullLoadingView::~PullLoadingView() = default;

void PullLoadingView::resizeEvent(QResizeEvent*) {
    layoutParts();
}

void PullLoadingView::layoutParts() {
    const int w = width();
    const int h = height();
    if (atTop_) {
        stateLabel_->setGeometry(0, h - 50, w, 20);
        dateLabel_->setGeometry(0, h - 30, w, 20);
        arrowView_->setGeometry(kArrowX, h - 48, kArrowSide, kArrowSide);
    } else {
        stateLabel_->setGeometry(0, 10, w, 20);
        dateLabel_->setGeometry(0, 30, w, 20);
        arrowView_->setGeometry(kArrowX, 10, kArrowSide, kArrowSide);
    }
    const QSize spin = activityView_->sizeHint();
    activityView_->setGeometry(QRect(QPoint(0, 0), spin)
                                   .translated(arrowView_->geometry().center() -
                                               QPoint(spin.width() / 2, spin.height() / 2)));
}

void PullLoadingView::setState(int state, bool animated) {
    if (state == state_ || state < Normal || state > ReachedTheEnd)
        return;
    switch (state) {
    case Normal:
        if (loading_)
            return;
        arrowView_->show();
        activityView_->stopAnimating();
        activityView_->hide();
        turnArrow(0, animated);
        stateLabel_->setText(atTop_ ? QStringLiteral("下拉刷新") : QStringLiteral("上拉加载更多"));
        break;
    case Pulling:
        if (loading_)
            return;
        arrowView_->show();
        activityView_->hide();
        turnArrow(180, animated);
        stateLabel_->setText(atTop_ ? L("释放刷新") : L("释放加载更多"));
        break;
    case Loading:
        arrowView_->hide();
        activityView_->show();
        activityView_->startAnimating();
        loading_ = true;
        stateLabel_->setText(atTop_ ? L("正在刷新") : L("正在加载"));
        break;
    case ReachedTheEnd:
        if (atTop_)
            return;
        arrowView_->hide();
        activityView_->stopAnimating();
        activityView_->hide();
        stateLabel_->setText(QStringLiteral("没有了哦"));
        break;
    }
    state_ = state;
}

void PullLoadingView::turnArrow(double degrees, bool animated) {
    if (!animated) {
        applyArrowAngle(degrees);
        return;
    }
    const double from = arrowAngle_;
    Animator::run(this, kFlipMs, QEasingCurve::Linear, [this, from, degrees](double t) {
        applyArrowAngle(from + (degrees - from) * t);
    });
}

void PullLoadingView::applyArrowAngle(double degrees) {
    arrowAngle_ = degrees;
    if (arrow_.isNull())
        return;
    // Turned about the axis facing the viewer, kept at the arrow's own size.
    QPixmap turned(arrow_.size());
    turned.setDevicePixelRatio(arrow_.devicePixelRatio());
    turned.fill(Qt::transparent);
    QPainter p(&turned);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF s = arrow_.deviceIndependentSize();
    p.translate(s.width() / 2, s.height() / 2);
    p.rotate(degrees);
    p.drawPixmap(QPointF(-s.width() / 2, -s.height() / 2), arrow_);
    p.end();
    arrowView_->setPixmap(turned);
}

QString PullLoadingView::refreshDateText(const QDateTime& date, const QDateTime& now) {
    // Calendar days between the two dates, so that last night reads "昨天" in the morning.
    const qint64 days = date.date().daysTo(now.date());
    QString word;
    if (days == 0 || (days < 0 && date <= now.addMonths(1)))
        word = L("今天");
    else if (days == 1)
        word = L("昨天");
    else if (days == 2)
        word = L("前天");
    if (word.isEmpty())
        return date.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return word + QLatin1Char(' ') + date.toString(QStringLiteral("HH:mm"));
}

void PullLoadingView::updateRefreshDate(const QDateTime& date) {
    dateLabel_->setText(
        QStringLiteral("%1: %2").arg(L("最后更新"), refreshDateText(date, Clock::now())));
}

QString PullLoadingView::stateText() const {
    return stateLabel_->text();
}

QString PullLoadingView::dateText() const {
    return dateLabel_->text();
}

bool PullLoadingView::arrowVisible() const {
    return !arrowView_->isHidden();
}

bool PullLoadingView::spinnerVisible() const {
    return !activityView_->isHidden();
}
