#include "platform/Images.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>
#include <QThread>
#include <QtDebug>

namespace {

// Rendered images are kept by name, size and pixel ratio; screens ask for the same bar and
// button images over and over. The bound only guards against a caller asking for ever new
// sizes.
constexpr int kMaxCached = 512;

QMutex& cacheMutex() {
    static QMutex mutex;
    return mutex;
}

QHash<QString, QImage>& imageCache() {
    static QHash<QString, QImage> cache;
    return cache;
}

QHash<QString, QPixmap>& pixmapCache() {
    static QHash<QString, QPixmap> cache;
    return cache;
}

QSet<QString>& reportedMissing() {
    static QSet<QString> names;
    return names;
}

// Callers write names as the artwork was once delivered ("books_nobook.png",
// "btn_done_up@2x.png"); the resources hold one scalable file per base name.
QString baseName(const QString& name) {
    QString base = name.trimmed();
    static const char* const kExtensions[] = {".png", ".jpg", ".jpeg", ".svg"};
    for (const char* ext : kExtensions) {
        if (base.endsWith(QLatin1String(ext), Qt::CaseInsensitive)) {
            base.chop(int(qstrlen(ext)));
            break;
        }
    }
    if (base.endsWith(QLatin1String("@2x")) || base.endsWith(QLatin1String("@3x")))
        base.chop(3);
    return base;
}

QString resourceFor(const QString& base) {
    if (base.isEmpty() || base.contains(QLatin1Char('/')))
        return QString();
    const QString svg = QStringLiteral(":/images/%1.svg").arg(base);
    if (QFile::exists(svg))
        return svg;
    const QString png = QStringLiteral(":/images/%1.png").arg(base);
    if (QFile::exists(png))
        return png;
    return QString();
}

qreal pixelRatio() {
    return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
}

void reportMissing(const QString& name) {
    QMutexLocker lock(&cacheMutex());
    if (reportedMissing().contains(name))
        return;
    reportedMissing().insert(name);
    qWarning("Images: no image named \"%s\"", qPrintable(name));
}

QImage render(const QString& path, const QSize& points, qreal ratio) {
    if (path.endsWith(QLatin1String(".svg"))) {
        QSvgRenderer renderer(path);
        if (!renderer.isValid())
            return QImage();
        const QSize size = points.isValid() && !points.isEmpty() ? points : renderer.defaultSize();
        if (size.isEmpty())
            return QImage();
        QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            renderer.render(&painter);
        }
        image.setDevicePixelRatio(ratio);
        return image;
    }
    QImage image(path);
    if (image.isNull())
        return image;
    if (points.isValid() && !points.isEmpty()) {
        image = image.scaled(points * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image.setDevicePixelRatio(ratio);
    }
    return image;
}

QString cacheKey(const QString& base, const QSize& size, qreal ratio) {
    return QStringLiteral("%1|%2x%3|%4").arg(base).arg(size.width()).arg(size.height()).arg(ratio);
}

} // namespace

bool Images::exists(const QString& name) {
    return !resourceFor(baseName(name)).isEmpty();
}

QString Images::path(const QString& name) {
    return resourceFor(baseName(name));
}

QImage Images::image(const QString& name, const QSize& size) {
    const QString base = baseName(name);
    const QString resource = resourceFor(base);
    if (resource.isEmpty()) {
        reportMissing(name);
        return QImage();
    }
    const qreal ratio = pixelRatio();
    const QString key = cacheKey(base, size, ratio);
    {
        QMutexLocker lock(&cacheMutex());
        const auto it = imageCache().constFind(key);
        if (it != imageCache().constEnd())
            return *it;
    }
    const QImage rendered = render(resource, size, ratio);
    if (rendered.isNull()) {
        qWarning("Images: could not render \"%s\"", qPrintable(resource));
        return rendered;
    }
    QMutexLocker lock(&cacheMutex());
    if (imageCache().size() >= kMaxCached)
        imageCache().clear();
    imageCache().insert(key, rendered);
    return rendered;
}

QPixmap Images::named(const QString& name, const QSize& size) {
    // Pixmaps belong to the GUI thread; elsewhere only the image is cached.
    const bool guiThread = qGuiApp != nullptr && QThread::currentThread() == qGuiApp->thread();
    const QString key = cacheKey(baseName(name), size, pixelRatio());
    if (guiThread) {
        const auto it = pixmapCache().constFind(key);
        if (it != pixmapCache().constEnd())
            return *it;
    }
    const QImage rendered = image(name, size);
    if (rendered.isNull() || !guiThread)
        return QPixmap();
    const QPixmap pixmap = QPixmap::fromImage(rendered);
    if (pixmapCache().size() >= kMaxCached)
        pixmapCache().clear();
    pixmapCache().insert(key, pixmap);
    return pixmap;
}
