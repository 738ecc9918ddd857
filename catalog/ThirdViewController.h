#pragma once

#include <QPointer>

#include "platform/ui/ViewController.h"

class BookListPanel;
class NoticeView;
class SegmentedBookLists;

// The rankings tab: books by reads and by favorites, two paged lists of books.
class ThirdViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ThirdViewController)

public:
    explicit ThirdViewController(QWidget* parent = nullptr);
    ~ThirdViewController() override;

    // The two segments; null before the view is loaded.
    SegmentedBookLists* lists() const;
    int currentIndex() const;
    // Shows segment index (0 or 1) as a tap on the segmented control does.
    void segmentedControlChangedValue(int index);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    QPointer<SegmentedBookLists> lists_;
    QPointer<NoticeView> notify_;
};
