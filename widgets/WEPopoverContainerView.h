#pragma once

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QWidget>

// How a popover's container looks: the background image with its caps and the margins it has
// beyond the visible panel, the arrow image (drawn pointing in arrowImageDirection; turned for
// the other sides), the content's margins inside the panel, and how far the arrow reaches into
// the panel.
struct WEPopoverContainerViewProperties {
    QPixmap bgImage;
    QPixmap arrowImage;
    int arrowImageDirection = 2; // WEPopoverContainerView::ArrowDown
    int leftBgMargin = 0;
    int rightBgMargin = 0;
    int topBgMargin = 0;
    int bottomBgMargin = 0;
    int leftBgCapSize = 0;
    int topBgCapSize = 0;
    int leftContentMargin = 0;
    int rightContentMargin = 0;
    int topContentMargin = 0;
    int bottomContentMargin = 0;
    int arrowMargin = 0;

    // The app's popover look: the dark panel with its arrow, caps and margins.
    static WEPopoverContainerViewProperties standard();
};

// The frame a popover's content sits in: the panel and its arrow pointing at a rectangle.
class WEPopoverContainerView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WEPopoverContainerView)

public:
    // The side the arrow points to; the panel lies on the other side of the target.
    enum ArrowDirection {
        ArrowUp = 1,
        ArrowDown = 2,
        ArrowLeft = 4,
        ArrowRight = 8,
        ArrowAny = 15
    };

    WEPopoverContainerView(const WEPopoverContainerViewProperties& properties, QWidget* parent);
    ~WEPopoverContainerView() override;

    // Places the container (in its parent's coordinates) with the content of the given size
    // pointing at target, choosing among the permitted directions the first that fits inside
    // bounds, else the one that shows most of the panel.
    void layoutFor(const QSize& contentSize, const QRect& target, const QRect& bounds,
                   int permittedDirections);
    ArrowDirection arrowDirection() const { return direction_; }
    // The content's rectangle, in this view's coordinates.
    QRect contentRect() const { return contentRect_; }
    QRect arrowRect() const { return arrowRect_; }
    QRect panelRect() const { return panelRect_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Placement {
        QRect panel; // visible panel, in bounds coordinates
        QRect arrow;
        ArrowDirection direction = ArrowDown;
    };
    Placement placementFor(ArrowDirection direction, const QSize& panelSize, const QRect& target,
                           const QRect& bounds) const;
    QPixmap arrowFor(ArrowDirection direction) const;

    WEPopoverContainerViewProperties properties_;
    QColor panelColor_; // opaque
    ArrowDirection direction_ = ArrowDown;
    QRect panelRect_;
    QRect arrowRect_;
    QRect contentRect_;
};
