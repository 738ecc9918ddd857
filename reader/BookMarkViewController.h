#pragma once

#include <QString>
#include <QVariantList>

#include "platform/ui/ViewController.h"

class BookChapterAndMarkViewController;
class QLabel;
class QListWidget;
class QPushButton;

// The bookmark pane: the book's bookmarks, newest first. A tap opens the bookmark's page; a
// swipe to the left offers to delete it. Without bookmarks it explains how to set one.
class BookMarkViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BookMarkViewController)

public:
    explicit BookMarkViewController(QWidget* parent = nullptr);
    ~BookMarkViewController() override;

    QString bookid;
    BookChapterAndMarkViewController* delegate = nullptr;
    QVariantList markList;

    QListWidget* tableView() const { return table_; }
    QWidget* emptyView() const { return empty_; }
    void didSelectRow(int row);
    // Swipe-to-delete's commit: removes the bookmark of that row.
    void commitDeleteRow(int row);

protected:
    void viewDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildEmptyView();
    void showEmptyState();
    void offerDelete(int row);

    QListWidget* table_ = nullptr;
    QWidget* empty_ = nullptr;
    QPushButton* delete_ = nullptr;
    int deleteRow_ = -1;
    QPoint pressAt_;
};
