#pragma once

#include <QList>
#include <QMargins>
#include <QSize>
#include <QWidget>

class QScrollArea;
class GMGridView;
class GMGridViewCell;

// Where the grid's items come from, and who deletes one in editing mode.
class GMGridViewDataSource {
public:
    virtual ~GMGridViewDataSource();
    virtual int numberOfItemsInGMGridView(GMGridView* gridView) = 0;
    virtual QSize sizeForItemsInGMGridView(GMGridView* gridView) = 0;
    // A new cell for the item; the grid takes it over.
    virtual GMGridViewCell* GMGridViewCellForItemAtIndex(GMGridView* gridView, int index) = 0;
    // Called when the delete icon of an item is tapped; the grid then removes its cell.
    virtual void GMGridViewDeleteItemAtIndex(GMGridView* gridView, int index);
};

// What the grid reports of taps.
class GMGridViewActionDelegate {
public:
    virtual ~GMGridViewActionDelegate();
    virtual void GMGridViewDidTapOnItemAtIndex(GMGridView* gridView, int index) = 0;
};

// A scrolling grid of equal items, laid out in rows from the top, each row's items centred
// within the minimum edge insets. The scrolling content (scrollView()->widget(), also
// contentView()) may carry decorations; the cells are always above them. In editing mode
// every cell shows its delete icon.
class GMGridView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GMGridView)

public:
    explicit GMGridView(QWidget* parent = nullptr);
    ~GMGridView() override;

    void setDataSource(GMGridViewDataSource* dataSource) { dataSource_ = dataSource; }
    GMGridViewDataSource* dataSource() const { return dataSource_; }
    void setActionDelegate(GMGridViewActionDelegate* d) { actionDelegate_ = d; }
    GMGridViewActionDelegate* actionDelegate() const { return actionDelegate_; }

    int itemSpacing() const { return itemSpacing_; }
    void setItemSpacing(int spacing);
    QMargins minEdgeInsets() const { return minEdgeInsets_; }
    void setMinEdgeInsets(const QMargins& insets);

    bool isEditing() const { return editing_; }
    void setEditing(bool editing);

    void reloadData();
    QScrollArea* scrollView() const { return scrollView_; }
    QWidget* contentView() const;

    int numberOfItems() const { return static_cast<int>(cells_.size()); }
    GMGridViewCell* cellForItemAtIndex(int index) const;
    // Top-left corner of an item in the scrolling content.
    QRect rectForItemAtIndex(int index) const;
    int columns() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutItems();
    void deleteCell(GMGridViewCell* cell);
    void tapCell(GMGridViewCell* cell);

    GMGridViewDataSource* dataSource_ = nullptr;
    GMGridViewActionDelegate* actionDelegate_ = nullptr;
    QScrollArea* scrollView_;
    QList<GMGridViewCell*> cells_;
    QSize itemSize_;
    int itemSpacing_ = 10;
    QMargins minEdgeInsets_{5, 5, 5, 5};
    bool editing_ = false;
};
