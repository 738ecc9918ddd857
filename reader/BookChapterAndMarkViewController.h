#pragma once

#include <QPointer>
#include <QString>

#include "platform/ui/ViewController.h"

class BookChatperViewController;
class BookMarkViewController;
class SVSegmentedControl;

// The reader's table of contents and bookmarks behind a two-way switch. A chapter or
// bookmark chosen here opens a new reader on top of the stack, after the last-read record
// has been set to it.
class BookChapterAndMarkViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BookChapterAndMarkViewController)

public:
    explicit BookChapterAndMarkViewController(QWidget* parent = nullptr);
    ~BookChapterAndMarkViewController() override;

    QString book_id;
    int currentChatperId = 0;

    BookChatperViewController* ChatperView() const { return chapters_; }
    BookMarkViewController* MarkView() const { return marks_; }
    SVSegmentedControl* segmentedControl() const { return switch_; }

    void segmentedControlChangedValue(int index);
    void action(int tag);
    void pushToReadbookView(const QString& str, const QString& bookId, int chapterId, int page);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    BookChatperViewController* chapters_ = nullptr;
    BookMarkViewController* marks_ = nullptr;
    SVSegmentedControl* switch_ = nullptr;
    QPointer<QWidget> background_;
};
