#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

// Named images: our own artwork, compiled in as resources (":/images/<name>.svg", or .png),
// looked up by name. An unknown name gives a null image and one log line.
class Images final {
public:
    Images() = delete;

    static bool exists(const QString& name);
    // The resource path of a named image, empty when there is none.
    static QString path(const QString& name);
    // Rendered at its natural size, or at the given size in points when one is given
    // (device-pixel ratio of the screen applied).
    static QPixmap named(const QString& name, const QSize& size = QSize());
    static QImage image(const QString& name, const QSize& size = QSize());
};
