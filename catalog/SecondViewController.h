#pragma once

#include <QPointer>

#include "platform/ui/ViewController.h"

class BookListPanel;
class NoticeView;
class SegmentedBookLists;

// The recommendations tab: today's picks and selected works, two paged lists of books.
class SecondViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SecondViewController)

public:
    explicit SecondViewController(QWidget* parent = nullptr);
    ~SecondViewController() override;

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
