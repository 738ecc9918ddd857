// The two tooles operations that belong with the book database.
#include <QFile>
#include <QFileInfo>
#include <QVariantMap>
#include <QtDebug>

#include "app/tooles.h"
#include "storage/BookDb.h"

QString tooles::readyDatabase(const QString& fileName) {
    const QString path = tooles::getDir(fileName);
    if (QFileInfo::exists(path))
        return path;
    // Copied beside the target and renamed, so an interrupted copy never leaves a partial
    // file that a later launch would take for the database.
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    QFile shipped(QStringLiteral(":/books.sqlite"));
    if (!shipped.copy(partial)) {
        qWarning().noquote() << QStringLiteral(
                                    "Failed to create writable database file with message '%1'.")
                                    .arg(shipped.errorString());
        QFile::remove(partial);
        return path;
    }
    // A copy out of the resources is read-only; the database must be writable.
    QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                       QFile::WriteUser);
    QFile copied(partial);
    if (!copied.rename(path)) {
        qWarning().noquote() << QStringLiteral(
                                    "Failed to create writable database file with message '%1'.")
                                    .arg(copied.errorString());
        QFile::remove(partial);
    }
    return path;
}

void tooles::updateReadTime(const QString& bookId) {
    BookDb db;
    db.updateBook(bookId, {{QStringLiteral("update_time"), tooles::currentTimeStr()}});
}
