#include "widgets/WEPopoverController.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QMouseEvent>
#include <QWidget>

#include "widgets/Animator.h"

WEPopoverControllerDelegate::~WEPopoverControllerDelegate() = default;
bool WEPopoverControllerDelegate::popoverControllerShouldDismissPopover(WEPopoverController*) {
    return true;
}
void WEPopoverControllerDelegate::popoverControllerDidDismissPopover(WEPopoverController*) {}

WEPopoverController::WEPopoverController(QWidget* contentView, QObject* parent)
    : QObject(parent), content_(contentView) {
    if (content_)
        contentSize_ = content_->size();
}

WEPopoverController::~WEPopoverController() {
    qApp->removeEventFilter(this);
    if (container_)
        delete container_.data();
    else
        delete content_.data();
}

void WEPopoverController::setContainerViewProperties(
    const WEPopoverContainerViewProperties& properties) {
    properties_ = properties;
}

void WEPopoverController::setPassthroughViews(const QList<QWidget*>& views) {
    passthrough_.clear();
    for (QWidget* view : views)
        passthrough_.append(view);
}

int WEPopoverController::popoverArrowDirection() const {
    return container_ ? container_->arrowDirection() : 0;
}

void WEPopoverController::presentPopoverFromRect(const QRect& rect, QWidget* view,
                                                 int permittedArrowDirections, bool animated) {
    if (!view)
        return;
    QWidget* window = view->window();
    if (container_ && container_->parentWidget() != window) {
        if (content_)
            content_->setParent(nullptr);
        delete container_.data();
    }
    if (!container_)
        container_ = new WEPopoverContainerView(properties_, window);
    const QRect target(view->mapTo(window, rect.topLeft()), rect.size());
    container_->layoutFor(contentSize_, target, window->rect(), permittedArrowDirections);
    if (content_) {
        content_->setParent(container_);
        // The content sits on the container's panel rather than painting a page of its own.
        content_->setAutoFillBackground(false);
        content_->setGeometry(container_->contentRect());
        content_->show();
    }
    container_->show();
    container_->raise();
    visible_ = true;
    qApp->installEventFilter(this);
    fade(0, 1, animated, {});
}

void WEPopoverController::dismissPopoverAnimated(bool animated) {
    if (!visible_)
        return;
    visible_ = false;
    qApp->removeEventFilter(this);
    QPointer<WEPopoverContainerView> container = container_;
    fade(1, 0, animated, [container] {
        if (container)
            container->hide();
    });
}

void WEPopoverController::fade(double from, double to, bool animated, std::function<void()> done) {
    if (!container_)
        return;
    auto* effect = new QGraphicsOpacityEffect(container_);
    effect->setOpacity(from);
    container_->setGraphicsEffect(effect);
    QPointer<WEPopoverContainerView> container = container_;
    Animator::run(
        container_, animated ? kFadeMs : 0, QEasingCurve::InOutQuad,
        [effect, from, to](double t) { effect->setOpacity(from + (to - from) * t); },
        [container, done] {
            if (container)
                container->setGraphicsEffect(nullptr);
            if (done)
                done();
        });
}

bool WEPopoverController::isPassthrough(QWidget* widget) const {
    for (const QPointer<QWidget>& view : passthrough_) {
        if (view && (view == widget || view->isAncestorOf(widget)))
            return true;
    }
    return false;
}

bool WEPopoverController::eventFilter(QObject* watched, QEvent* event) {
    if (!visible_ || !container_ || event->type() != QEvent::MouseButtonPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != container_->window())
        return false;
    if (widget == container_ || container_->isAncestorOf(widget))
        return false;
    const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
    if (container_->rect().contains(container_->mapFromGlobal(global)))
        return false;
    if (isPassthrough(widget))
        return false;
    if (delegate_ && !delegate_->popoverControllerShouldDismissPopover(this))
        return true;
    dismissPopoverAnimated(true);
    if (delegate_)
        delegate_->popoverControllerDidDismissPopover(this);
    return true;
}
