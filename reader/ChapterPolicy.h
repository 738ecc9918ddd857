#pragma once

#include <QList>
#include <QString>

// Which chapters the reader fetches, and when. Chapters are fetched in runs of up to ten
// following a start, never beyond the book's last chapter; a blocking fetch happens only
// when a page turn needs a chapter that is not stored; the ten chapters after the highest
// stored one are fetched in the background when the reader leaves the chapter four below it.
namespace ChapterPolicy {

inline constexpr int kRun = 10;

// start+1 … min(start+10, last); empty when start ≥ last.
QList<int> runAfter(int start, int last);
// "11,12,13" — the service's `chapters` parameter.
QString join(const QList<int>& chapters);

// What a forward turn does at the current state.
struct Forward {
    enum Kind {
        NextPageInChapter, // not on the last page: just turn
        EndOfBook,         // last page of the book's last chapter
        Fetch,             // the next chapter is missing: blocking fetch of `fetch`
        NextChapter,       // the next chapter is stored: open it
    };
    Kind kind = NextPageInChapter;
    QList<int> readAhead; // background fetch to start as well (empty: none)
    QList<int> fetch;     // the blocking fetch (Fetch only)
};

// currentPage/allPage of the chapter shown, its number, the book's last chapter, the highest
// stored chapter, and whether chapter + 1 is stored.
Forward forward(int currentPage, int allPage, int chapter, int lastChapter, int maxStored,
                bool nextStored);

// The chapters the table of contents fetches when chapter n (not stored) is tapped in a
// book whose last chapter is `last`: the run from n on, or n alone at the end of the book.
QList<int> tableOfContentsRun(int n, int last);

} // namespace ChapterPolicy
