#include "tests/faults/LibraryCheck.h"

#include "engines/SqlDatabase.h"
#include "engines/SqlStatement.h"
#include "storage/BookDb.h"

namespace faults {

namespace {

int count(SqlDatabase& db, const QString& sql) {
    SqlStatement st = db.prepare(sql);
    return st.next() ? int(st.integer(0)) : -1;
}

} // namespace

QString LibraryCheck::summary() const {
    return QStringLiteral("%1 books, %2 chapters stored, %3 marked downloaded, %4 last-read "
                          "records; %5")
        .arg(books)
        .arg(chapters)
        .arg(marked)
        .arg(lastRead)
        .arg(problems.isEmpty() ? QStringLiteral("sound")
                                : QStringLiteral("%1 problems").arg(problems.size()));
}

LibraryCheck checkLibrary(const ServiceText& serviceText) {
    BookDb::waitForBackgroundWrites();
    LibraryCheck check;
    SqlDatabase db(BookDb().dbPath());
    if (!db.open(SqlDatabase::Mode::ExistingOnly)) {
        check.problems.append(QStringLiteral("the book database does not open"));
        return check;
    }
    check.books = count(db, QStringLiteral("SELECT COUNT(*) FROM book"));
    check.chapters = count(db, QStringLiteral("SELECT COUNT(*) FROM chapter"));
    check.marked = count(db, QStringLiteral("SELECT COUNT(*) FROM chaptermenu WHERE downstatus=1"));
    check.lastRead = count(db, QStringLiteral("SELECT COUNT(*) FROM lastreadrecord"));

    // Each query names what it finds in its columns; each row found is one problem.
    const auto report = [&](const char* sql, const char* what) {
        SqlStatement rows = db.prepare(QString::fromUtf8(sql));
        while (rows.next()) {
            QString line = QString::fromUtf8(what);
            for (int column = 0; column < 3 && line.contains(QLatin1Char('%')); ++column)
                line = line.arg(rows.text(column));
            check.problems.append(line);
        }
    };
    // Marked downloaded, but the text is missing or empty.
    report("SELECT m.book_id, m.chapter_id FROM chaptermenu m LEFT JOIN chapter c "
           "ON c.book_id=m.book_id AND c.chapter_id=m.chapter_id "
           "WHERE m.downstatus=1 AND (c.id IS NULL OR c.content IS NULL OR c.content='')",
           "book %1 chapter %2 is marked downloaded without its text");
    // Stored, but the contents say it is not: the list would offer to fetch it again.
    report("SELECT c.book_id, c.chapter_id FROM chapter c JOIN chaptermenu m "
           "ON c.book_id=m.book_id AND c.chapter_id=m.chapter_id WHERE m.downstatus<>1",
           "book %1 chapter %2 is stored but not marked downloaded");
    report("SELECT book_id, chapter_id, COUNT(*) FROM chapter "
           "GROUP BY book_id, chapter_id HAVING COUNT(*) > 1",
           "book %1 chapter %2 is stored %3 times");
    report("SELECT book_id, chapter_id, COUNT(*) FROM chaptermenu "
           "GROUP BY book_id, chapter_id HAVING COUNT(*) > 1",
           "book %1 chapter %2 is listed %3 times");

    SqlStatement texts =
        db.prepare(QStringLiteral("SELECT book_id, chapter_id, content FROM chapter"));
    while (texts.next()) {
        const QString content = texts.text(2);
        if (content.isEmpty()) {
            check.problems.append(QStringLiteral("book %1 chapter %2 is stored without text")
                                      .arg(texts.text(0), texts.text(1)));
        } else if (serviceText &&
                   content != serviceText(int(texts.integer(0)), int(texts.integer(1)))) {
            check.problems.append(QStringLiteral("book %1 chapter %2 holds another text than "
                                                 "the service's")
                                      .arg(texts.text(0), texts.text(1)));
        }
    }

    report("SELECT r.book_id, r.chapter_id FROM lastreadrecord r LEFT JOIN chapter c "
           "ON c.book_id=r.book_id AND c.chapter_id=r.chapter_id WHERE c.id IS NULL",
           "the last-read record of book %1 names chapter %2, which is not stored");
    // A chapter without its book: nothing on the shelf leads to it.
    report("SELECT DISTINCT c.book_id FROM chapter c LEFT JOIN book b ON b.book_id=c.book_id "
           "WHERE b.book_id IS NULL",
           "book %1 has chapters but no book record");
    return check;
}

} // namespace faults
