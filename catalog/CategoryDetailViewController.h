#pragma once

#include <QPointer>

#include "platform/ui/ViewController.h"

class ActivityIndicatorView;
class BookListPanel;
class Button;
class NoticeView;

// The books of one category, page by page, pushed from the categories tab with the
// category's name as its title. A refresh button in the bar fetches and appends the next page.
class CategoryDetailViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CategoryDetailViewController)

public:
    static constexpr int kRefreshDelayMs = 2000;

    explicit CategoryDetailViewController(QWidget* parent = nullptr);
    ~CategoryDetailViewController() override;

    // The category's cate_id; set before the screen is shown.
    int cateid = 0;

    BookListPanel* list() const;
    Button* btnRefresh() const;
    ActivityIndicatorView* activityIndicator() const;
    // 1: back to the categories tab; 2: the next page.
    void action(int tag);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    QPointer<BookListPanel> list_;
    QPointer<Button> btnBack_;
    QPointer<Button> btnRefresh_;
    QPointer<ActivityIndicatorView> activityIndicator_;
    QPointer<NoticeView> notify_;
};
