#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// Where each page of a rendered chapter starts in the chapter's text. A place in the text is
// a character offset that counts only the characters that are not white space, in document
// order, so it stays the same whatever the type size, the screen or the way white space is
// laid out, and it names the same sentence at every size.
//
// The page measures itself once per load (startsScript); after that, the first character of
// a page and the page holding a character are lookups.
class TextPosition {
public:
    // The script that answers, for a page of pageHeight pixels, the list of offsets of the
    // first character at or below the top of page 1, 2, 3 … (page 1 starts at 0).
    static QString startsScript(int pageHeight);

    // Takes a script answer for a chapter of pageCount pages; a malformed answer (not a list,
    // not numbers, not in order) leaves the position unknown and returns false.
    bool setStarts(const QVariant& answer, int pageCount);
    void clear();
    bool isKnown() const { return !starts_.isEmpty(); }
    int pageCount() const { return static_cast<int>(starts_.size()); }

    // The offset of the first character on the page (1-based); −1 when unknown or out of range.
    int startOfPage(int page) const;
    // The page that holds the character at this offset, 1…pageCount; 0 when unknown or the
    // offset is negative.
    int pageOfOffset(int offset) const;

private:
    QList<int> starts_;
};

// The reading position on screen: the character the reader is at. It is the first character
// of the page after a turn, and after the type size or the screen changed it stays the
// character the reader was at, on whichever page now holds it, so that changing the size
// back and forth returns to the same page instead of drifting a page back each time.
class ReadingAnchor {
public:
    // The offset for the page on screen. It is kept while the page and chapter are the ones
    // it was taken on; on any other page it becomes that page's first character (−1 unknown).
    int follow(const TextPosition& position, int chapter, int page);
    // The reader is at this character, shown on this page.
    void pin(int offset, int chapter, int page);
    void reset() { offset_ = -1; }
    int offset() const { return offset_; }

private:
    int offset_ = -1;
    int chapter_ = 0;
    int page_ = 0;
};
