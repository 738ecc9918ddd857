#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include "widgets/WEPopoverContainerView.h"

class QWidget;
class WEPopoverController;

// What the popover's owner hears when a tap outside would close it. Both are optional: by
// default the popover closes.
class WEPopoverControllerDelegate {
public:
    virtual ~WEPopoverControllerDelegate();
    virtual bool popoverControllerShouldDismissPopover(WEPopoverController* popoverController);
    virtual void popoverControllerDidDismissPopover(WEPopoverController* popoverController);
};

// Shows a content view in a container with an arrow pointing at a rectangle of a view, over
// that view's window. A tap anywhere else in the window closes it (the tap itself goes no
// further, unless it lands on one of the passthrough views, which then get it and leave the
// popover open); the owner may close it too. The content belongs to the popover.
class WEPopoverController final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WEPopoverController)

public:
    static constexpr int kFadeMs = 300;

    explicit WEPopoverController(QWidget* contentView, QObject* parent = nullptr);
    ~WEPopoverController() override;

    void setDelegate(WEPopoverControllerDelegate* delegate) { delegate_ = delegate; }
    WEPopoverControllerDelegate* delegate() const { return delegate_; }
    void setContainerViewProperties(const WEPopoverContainerViewProperties& properties);
    WEPopoverContainerViewProperties containerViewProperties() const { return properties_; }
    void setPopoverContentSize(const QSize& size) { contentSize_ = size; }
    QSize popoverContentSize() const { return contentSize_; }
    void setPassthroughViews(const QList<QWidget*>& views);

    // rect is in view's coordinates; directions are WEPopoverContainerView::ArrowDirection bits.
    void presentPopoverFromRect(const QRect& rect, QWidget* view, int permittedArrowDirections,
                                bool animated);
    void dismissPopoverAnimated(bool animated);

    bool isPopoverVisible() const { return visible_; }
    int popoverArrowDirection() const;
    QWidget* contentView() const { return content_; }
    WEPopoverContainerView* containerView() const { return container_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isPassthrough(QWidget* widget) const;
    void fade(double from, double to, bool animated, std::function<void()> done);

    QPointer<QWidget> content_;
    QPointer<WEPopoverContainerView> container_;
    WEPopoverControllerDelegate* delegate_ = nullptr;
    WEPopoverContainerViewProperties properties_;
    QSize contentSize_{320, 480};
    QList<QPointer<QWidget>> passthrough_;
    bool visible_ = false;
};
