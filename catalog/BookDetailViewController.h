#pragma once

#include "platform/ui/ViewController.h"
#include "storage/MyBookList.h"

// The detail of one book of the service: its facts, favorite state, related books, and the way
// to read it (opening a stored book or downloading a new one).
class BookDetailViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BookDetailViewController)

public:
    explicit BookDetailViewController(QWidget* parent = nullptr);
    ~BookDetailViewController() override;

    // The book shown; set before the screen is shown.
    void setBookInfo(const MyBookList& book) { bookInfo_ = book; }
    MyBookList bookInfo() const { return bookInfo_; }

    // The one way a list screen opens a book: a detail screen for book pushed on from's stack.
    static BookDetailViewController* pushFrom(ViewController* from, const MyBookList& book);

private:
    MyBookList bookInfo_;
};
