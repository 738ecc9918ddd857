#pragma once

#include <QMargins>
#include <QPixmap>
#include <QRect>

class QPainter;

// An image drawn at any size by keeping its caps (the borders given as margins) unscaled and
// stretching the middle, as bar backgrounds and buttons need.
class StretchableImage final {
public:
    StretchableImage() = default;
    StretchableImage(const QPixmap& pixmap, const QMargins& caps);
    // The classic form: a left cap and a top cap; the right and bottom caps are what is left of
    // the image after one middle pixel.
    static StretchableImage withLeftCapTopCap(const QPixmap& pixmap, int leftCap, int topCap);
    // A named image (platform/Images.h) with caps.
    static StretchableImage named(const QString& name, const QMargins& caps);

    bool isNull() const { return pixmap_.isNull(); }
    QPixmap pixmap() const { return pixmap_; }
    QMargins caps() const { return caps_; }

    void draw(QPainter& painter, const QRect& target) const;

    // Fills target with the image repeated (a pattern colour).
    static void drawPattern(QPainter& painter, const QRect& target, const QPixmap& pixmap);

private:
    QPixmap pixmap_;
    QMargins caps_;
};
