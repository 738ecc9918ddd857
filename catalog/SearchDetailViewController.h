#pragma once

#include <QPointer>
#include <QString>

#include "platform/ui/ViewController.h"

class BookListPanel;
class Button;
class NoticeView;
class QLabel;

// The books the service finds for one keyword, page by page, with the number of hits above
// them. Pushed from the search tab.
class SearchDetailViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SearchDetailViewController)

public:
    explicit SearchDetailViewController(QWidget* parent = nullptr);
    ~SearchDetailViewController() override;

    // The keyword, sent as it is; set before the screen is shown.
    QString searchStr;
    // The total number of hits, as the last answer gave it.
    int searchCount = 0;

    BookListPanel* list() const;
    QLabel* labelSearchCount() const;
    // 0: back to the search tab.
    void action(int tag);

    // The count label's text for n hits.
    static QString countText(int n);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    QPointer<BookListPanel> list_;
    QPointer<QLabel> labelSearchCount_;
    QPointer<Button> btnBack_;
    QPointer<NoticeView> notify_;
};
