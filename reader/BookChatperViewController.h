#pragma once

#include <QPointer>
#include <QString>
#include <QVariantList>

#include "platform/ui/ViewController.h"

class BookChapterAndMarkViewController;
class HttpRequest;
class NoticeView;
class QLabel;
class QListWidget;
class QListWidgetItem;

// The table of contents pane: every chapter of the book with whether its text is on the
// device. A stored chapter opens at once; a missing one is fetched with the chapters after
// it, ten at a time, and then opened. The menu itself is fetched only while none is stored.
class BookChatperViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BookChatperViewController)

public:
    explicit BookChatperViewController(QWidget* parent = nullptr);
    ~BookChatperViewController() override;

    QString bookid;
    int currentChatperId = 0;
    BookChapterAndMarkViewController* delegate = nullptr;
    QVariantList chapterList;

    QListWidget* tableView() const { return table_; }
    NoticeView* notice() const { return notify_; }
    // A tap on the row of chapter_number n.
    void didSelectRow(int row);
    void getMenu();
    void download(int n);

protected:
    void viewDidLoad() override;

private:
    // Opens a chapter of the contents at its first page.
    void openAtStart(const QString& content, int chapter);
    void reloadData();
    void showNotice(const QString& text, const QString& image);

    QLabel* header_ = nullptr;
    QListWidget* table_ = nullptr;
    NoticeView* notify_ = nullptr;
    QPointer<HttpRequest> menuRequest_;
    QPointer<HttpRequest> chapterRequest_;
};
