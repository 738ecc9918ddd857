#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>

class QObject;

// The cover images of stored books, kept as files in "covers" under the documents directory.
// A book record names its cover by a plain file name: the MD5 digest of the book id, a full
// stop and the extension of the service's cover address. Only plain names are ever written or
// removed, so a cover value can never reach outside the folder.
namespace CoverFiles {

// "covers" under the documents directory (not created).
QString directory();
// Creates the folder with its parents when missing; false when it cannot be made.
bool ensureDirectory();
// The cover value of a book: digest + "." + the extension of coverUrl (just "digest." when the
// address has none).
QString coverName(const QString& bookId, const QString& coverUrl);
// A digest-like stem, a full stop and an extension of letters and digits; nothing else.
bool isPlainName(const QString& name);
// The image format a cover name is saved in: "PNG" for png, "JPEG" for jpg and jpeg, empty for
// any other extension (such a cover is not saved).
QByteArray formatOf(const QString& name);
// Writes the image data under name, re-encoded in the name's format; all or nothing (no
// partial file is ever left). False for a name that is not plain, an unknown format, or data
// that is no image.
bool save(const QByteArray& imageData, const QString& name);
// Removes the cover file of that name when the name is plain and the file exists.
bool remove(const QString& name);

// Fetches a book's cover in the background and saves it under name, but only while the book
// is still stored with that cover value (a book deleted meanwhile gets no file). The fetch
// outlives the screen that started it; done (saved or not) runs on the main thread while
// receiver lives.
void fetch(const QUrl& address, const QString& name, const QString& bookId,
           const QObject* receiver = nullptr, std::function<void(bool saved)> done = {});

} // namespace CoverFiles
