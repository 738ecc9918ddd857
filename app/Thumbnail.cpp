#include "app/Thumbnail.h"

#include <QImage>
#include <QImageReader>
#include <QSaveFile>

namespace {
bool fail(QString* error, const QString& reason) {
    if (error)
        *error = reason;
    return false;
}
} // namespace

bool Thumbnail::write(const QString& source, const QString& target, int width, QString* error) {
    if (width <= 0)
        return fail(error, QStringLiteral("the width must be a positive number of pixels"));
    QImageReader reader(source);
    QImage image = reader.read();
    if (image.isNull())
        return fail(error, QStringLiteral("cannot read %1: %2").arg(source, reader.errorString()));
    // Screenshots are opaque: without an alpha channel the file is a quarter smaller.
    image = image.convertToFormat(QImage::Format_RGB32)
                .scaledToWidth(width, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_RGB888);
    // Written whole or not at all, so a failed run leaves the last good picture.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("cannot write %1: %2").arg(target, file.errorString()));
    // Quality 0 is the PNG writer's strongest compression.
    if (!image.save(&file, "PNG", 0) || !file.commit())
        return fail(error, QStringLiteral("cannot write %1: %2").arg(target, file.errorString()));
    return true;
}
