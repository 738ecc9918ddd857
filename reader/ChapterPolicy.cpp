#include "reader/ChapterPolicy.h"

#include <QStringList>
#include <algorithm>

QList<int> ChapterPolicy::runAfter(int start, int last) {
    QList<int> run;
    for (int c = start + 1; c <= std::min(start + kRun, last); ++c)
        run.append(c);
    return run;
}

QString ChapterPolicy::join(const QList<int>& chapters) {
    QStringList parts;
    parts.reserve(chapters.size());
    for (int c : chapters)
        parts.append(QString::number(c));
    return parts.join(QLatin1Char(','));
}

ChapterPolicy::Forward ChapterPolicy::forward(int currentPage, int allPage, int chapter,
                                              int lastChapter, int maxStored, bool nextStored) {
    Forward f;
    // While a new chapter loads the page may stand beyond the old count; that is still the end.
    if (currentPage < allPage)
        return f;
    if (chapter == lastChapter) {
        f.kind = Forward::EndOfBook;
        return f;
    }
    if (maxStored == chapter + 4)
        f.readAhead = runAfter(maxStored, lastChapter);
    if (chapter == maxStored) {
        f.kind = Forward::Fetch;
        f.fetch = runAfter(maxStored, lastChapter);
    } else if (!nextStored) {
        f.kind = Forward::Fetch;
        f.fetch = runAfter(chapter, lastChapter);
    } else {
        f.kind = Forward::NextChapter;
    }
    // The book record knows no chapter after this one: nothing to fetch, the book ends here.
    if (f.kind == Forward::Fetch && f.fetch.isEmpty())
        f.kind = Forward::EndOfBook;
    return f;
}

QList<int> ChapterPolicy::tableOfContentsRun(int n, int last) {
    // The run starts at the tapped chapter itself, so that it is fetched and opened.
    QList<int> run = runAfter(std::max(0, n - 1), last);
    if (run.isEmpty())
        run.append(n);
    return run;
}
