#pragma once

#include <QString>

// Small copies of the walk's screenshots, for the pictures in the README.
class Thumbnail final {
public:
    Thumbnail() = delete;

    // Writes a copy of the image in source, scaled smoothly to width pixels wide with its
    // proportions kept, as an opaque PNG in target. False, with the reason in error, when the
    // source cannot be read, the width is not positive or the target cannot be written; the
    // target is then left as it was.
    static bool write(const QString& source, const QString& target, int width,
                      QString* error = nullptr);
};
