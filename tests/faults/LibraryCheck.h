#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace faults {

// What the book database holds after a session, and every way in which it contradicts itself.
struct LibraryCheck {
    int books = 0;
    int chapters = 0;     // chapter rows
    int marked = 0;       // table-of-contents entries marked downloaded
    int lastRead = 0;     // last-read records
    QStringList problems; // one line per contradiction found; empty when the library is sound

    bool sound() const { return problems.isEmpty(); }
    QString summary() const;
};

// The text the service holds for a chapter, to compare stored texts with; unset skips that.
using ServiceText = std::function<QString(int bookId, int chapter)>;

// Reads the book database (after its background writes) and checks that no chapter is marked
// downloaded without its text (nor stored and marked missing), that no chapter is stored twice,
// that no stored chapter lacks its text or differs from the service's, that every last-read
// record names a stored chapter and that no chapters outlive their book.
LibraryCheck checkLibrary(const ServiceText& serviceText = {});

} // namespace faults
