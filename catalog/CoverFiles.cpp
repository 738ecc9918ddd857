#include "catalog/CoverFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPointer>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUrl>

#include "app/tooles.h"
#include "engines/HttpRequest.h"
#include "service/Service.h"
#include "storage/BookDb.h"

namespace CoverFiles {

QString directory() {
    return tooles::getDir(QStringLiteral("covers"));
}

bool ensureDirectory() {
    return QDir().mkpath(directory());
}

QString coverName(const QString& bookId, const QString& coverUrl) {
    // The query of an address is no part of its file name.
    const QString path = QUrl(coverUrl).path();
    return GetMD5(bookId) + QLatin1Char('.') +
           tooles::getExtension(path.isEmpty() ? coverUrl : path);
}

bool isPlainName(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[0-9A-Za-z]+\\.[0-9A-Za-z]+$"));
    return plain.match(name).hasMatch();
}

QByteArray formatOf(const QString& name) {
    const QString ext = name.mid(name.lastIndexOf(QLatin1Char('.')) + 1).toLower();
    if (ext == QLatin1String("png"))
        return "PNG";
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return "JPEG";
    return {};
}

bool save(const QByteArray& imageData, const QString& name) {
    const QByteArray format = formatOf(name);
    if (!isPlainName(name) || format.isEmpty())
        return false;
    const QImage image = QImage::fromData(imageData);
    if (image.isNull() || !ensureDirectory())
        return false;
    QSaveFile file(directory() + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!image.save(&file, format.constData(), format == "JPEG" ? 95 : -1)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool remove(const QString& name) {
    if (!isPlainName(name))
        return false;
    const QFileInfo info(directory() + QLatin1Char('/') + name);
    if (!info.isFile() || info.isSymLink())
        return false;
    return QFile::remove(info.filePath());
}

void fetch(const QUrl& address, const QString& name, const QString& bookId, const QObject* receiver,
           std::function<void(bool)> done) {
    QPointer<QObject> watched(const_cast<QObject*>(receiver));
    const bool watching = receiver != nullptr;
    auto finish = [watched, watching, done](bool saved) {
        if (done && (!watching || watched))
            done(saved);
    };
    if (!address.isValid() || address.isRelative() || formatOf(name).isEmpty() ||
        !isPlainName(name)) {
        finish(false);
        return;
    }
    // Owned by the application, so leaving the screen does not lose the cover.
    auto* holder = new QObject(QCoreApplication::instance());
    auto* request = new HttpRequest(address, holder);
    request->setDidFinish([holder, name, bookId, finish](HttpRequest* r) {
        bool saved = false;
        const int status = r->responseStatusCode();
        if (status >= 200 && status < 300) {
            BookDb db;
            const QVariantMap book = db.selectBookByBookid(bookId);
            if (book.value(QStringLiteral("cover")).toString() == name)
                saved = save(r->responseData(), name);
        }
        if (!saved)
            qInfo("cover of book %s not saved", qPrintable(bookId));
        holder->deleteLater();
        finish(saved);
    });
    request->setDidFail([holder, bookId, finish](HttpRequest*) {
        qInfo("cover of book %s not fetched", qPrintable(bookId));
        holder->deleteLater();
        finish(false);
    });
    request->startAsynchronous();
}

} // namespace CoverFiles
