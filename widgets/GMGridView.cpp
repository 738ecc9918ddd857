#include "widgets/GMGridView.h"

#include <QScrollArea>
#include <QScroller>
#include <QToolButton>

#include "widgets/GMGridViewCell.h"

GMGridViewDataSource::~GMGridViewDataSource() = default;
void GMGridViewDataSource::GMGridViewDeleteItemAtIndex(GMGridView*, int) {}
GMGridViewActionDelegate::~GMGridViewActionDelegate() = default;

GMGridView::GMGridView(QWidget* parent) : QWidget(parent), scrollView_(new QScrollArea(this)) {
    setObjectName(QStringLiteral("gmGridView"));
    scrollView_->setObjectName(QStringLiteral("scrollView"));
    scrollView_->setFrameShape(QFrame::NoFrame);
    scrollView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollView_->setWidgetResizable(false);
    // The grid shows whatever lies behind it (the shelf's background) around its items.
    scrollView_->setAutoFillBackground(false);
    scrollView_->viewport()->setAutoFillBackground(false);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("gridContent"));
    scrollView_->setWidget(content);
    QScroller::grabGesture(scrollView_->viewport(), QScroller::LeftMouseButtonGesture);
}

GMGridView::~GMGridView() {
    QScroller::ungrabGesture(scrollView_->viewport());
}

QWidget* GMGridView::contentView() const {
    return scrollView_->widget();
}

void GMGridView::setItemSpacing(int spacing) {
    itemSpacing_ = spacing;
    layoutItems();
}

void GMGridView::setMinEdgeInsets(const QMargins& insets) {
    minEdgeInsets_ = insets;
    layoutItems();
}

void GMGridView::setEditing(bool editing) {
    editing_ = editing;
    for (GMGridViewCell* cell : std::as_const(cells_))
        cell->setEditing(editing);
}

GMGridViewCell* GMGridView::cellForItemAtIndex(int index) const {
    return index >= 0 && index < cells_.size() ? cells_.at(index) : nullptr;
}

void GMGridView::reloadData() {
    qDeleteAll(cells_);
    cells_.clear();
    if (!dataSource_) {
        layoutItems();
        return;
    }
    itemSize_ = dataSource_->sizeForItemsInGMGridView(this);
    const int count = dataSource_->numberOfItemsInGMGridView(this);
    for (int i = 0; i < count; ++i) {
        GMGridViewCell* cell = dataSource_->GMGridViewCellForItemAtIndex(this, i);
        if (!cell)
            cell = new GMGridViewCell;
        cell->setParent(contentView());
        connect(cell, &GMGridViewCell::tapped, this, &GMGridView::tapCell);
        connect(cell, &GMGridViewCell::deleteTapped, this, &GMGridView::deleteCell);
        cells_.append(cell);
        cell->show();
    }
    layoutItems();
    for (GMGridViewCell* cell : std::as_const(cells_))
        cell->setEditing(editing_);
}

int GMGridView::columns() const {
    const int available = width() - minEdgeInsets_.left() - minEdgeInsets_.right();
    if (itemSize_.width() <= 0)
        return 1;
    return qMax(1, (available + itemSpacing_) / (itemSize_.width() + itemSpacing_));
}

QRect GMGridView::rectForItemAtIndex(int index) const {
    const int cols = columns();
    const int rowWidth = cols * itemSize_.width() + (cols - 1) * itemSpacing_;
    const int left = qMax(minEdgeInsets_.left(), (width() - rowWidth) / 2);
    const int col = index % cols;
    const int row = index / cols;
    return {left + col * (itemSize_.width() + itemSpacing_),
            minEdgeInsets_.top() + row * (itemSize_.height() + itemSpacing_), itemSize_.width(),
            itemSize_.height()};
}

void GMGridView::layoutItems() {
    scrollView_->setGeometry(rect());
    const int rows = cells_.isEmpty() ? 0 : (int(cells_.size()) + columns() - 1) / columns();
    const int contentHeight = minEdgeInsets_.top() + rows * itemSize_.height() +
                              qMax(0, rows - 1) * itemSpacing_ + minEdgeInsets_.bottom();
    // The content keeps the height of its decorations when they reach further than the items.
    int decorations = 0;
    for (QWidget* child : contentView()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!qobject_cast<GMGridViewCell*>(child) && !qobject_cast<QToolButton*>(child))
            decorations = qMax(decorations, child->geometry().bottom() + 1);
    }
    contentView()->resize(width(), qMax(qMax(contentHeight, decorations), height()));
    for (int i = 0; i < cells_.size(); ++i) {
        cells_.at(i)->setGeometry(rectForItemAtIndex(i));
        cells_.at(i)->raise();
        if (cells_.at(i)->isEditing())
            cells_.at(i)->placeDeleteButton();
    }
}

void GMGridView::resizeEvent(QResizeEvent*) {
    layoutItems();
}

void GMGridView::tapCell(GMGridViewCell* cell) {
    const int index = static_cast<int>(cells_.indexOf(cell));
    if (index >= 0 && actionDelegate_)
        actionDelegate_->GMGridViewDidTapOnItemAtIndex(this, index);
}

void GMGridView::deleteCell(GMGridViewCell* cell) {
    const int index = static_cast<int>(cells_.indexOf(cell));
    if (index < 0)
        return;
    if (dataSource_)
        dataSource_->GMGridViewDeleteItemAtIndex(this, index);
    cells_.removeAt(index);
    // Not deleted at once: the tap that asked for it is still being delivered by its button.
    cell->hide();
    cell->deleteLater();
    layoutItems();
}
