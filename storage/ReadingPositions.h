#pragma once

#include <QString>

class BookDb;

// The places in the text that the last-read record and the bookmarks point at, kept in
// books.sqlite beside them. The last-read record and a bookmark name a page, and a page
// number holds other text at another type size or on another screen; a position names the
// first character of that page (see TextPosition), so the reader can find it again.
//
// The tables are our own and are created when missing, on the prepared file and on copies
// written before they existed. A position is only ever an addition: the record or bookmark
// it belongs to keeps its page number, and a position that is missing, unreadable or no
// longer matches the page of its record counts as unknown (−1), so the page number decides.
class ReadingPositions final {
public:
    ReadingPositions();
    ~ReadingPositions();
    ReadingPositions(const ReadingPositions&) = delete;
    ReadingPositions& operator=(const ReadingPositions&) = delete;

    // The last-read position of a book's chapter, written with the page of the record.
    bool saveLastRead(const QString& bookId, int chapterId, int pageId, int offset);
    // The offset stored for the chapter when it was written for this page, else −1.
    int lastReadOffset(const QString& bookId, int chapterId, int pageId);
    bool forgetLastRead(const QString& bookId, int chapterId);
    // The offset to open a book's chapter at the page with: the stored one when the book's
    // last-read record names this chapter and page, else −1.
    int resumeOffset(const QString& bookId, int chapterId, int pageId);

    // The position of a bookmark, keyed like the bookmark itself.
    bool saveMark(const QString& bookId, int chapterId, int pageId, int offset);
    int markOffset(const QString& bookId, int chapterId, int pageId);
    bool forgetMark(const QString& bookId, int chapterId, int pageId);

    // Creates the tables when they are missing; true when they are there.
    bool ensureTables();

private:
    bool open();
    int offsetOf(const QString& sql, const QVariantList& args);
    bool write(const QString& sql, const QVariantList& args);

    BookDb* db_;
};
