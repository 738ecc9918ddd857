#pragma once

#include <QString>
#include <QVariant>

// The reader's display settings as the user-defaults store keeps them, and the values the
// reading controls derive from them.
namespace ReaderSettings {

// FontSizeId: a number, or a text on first launch; 14 when absent or unreadable.
double fontSize(const QVariant& stored);
// ReadType: 1 day, 2 night; 1 when absent or 0.
int readType(const QVariant& stored);
// LightSizeId for the page: the brightness 0…100, 0 when absent.
double brightness(const QVariant& stored);
// LightSizeId for the brightness slider: 100 when absent.
double sliderBrightness(const QVariant& stored);
// The dimming overlay over the page background: (100 − brightness) / 200.
double overlayAlpha(double brightness);
// "#000000" by day, "#989898" by night.
QString fontColor(int readType);
// The other style.
int toggledReadType(int readType);

// The font sizes of the size chooser's segments, and the segment of a stored size (−1: none).
inline constexpr int kFontSizes[4] = {16, 18, 20, 22};
int fontSegment(const QVariant& stored);
int fontSizeOfSegment(int segment);

// A slider value as the brightness text the reader and the store take: rounded, "%d".
QString brightnessText(double sliderValue);

// The jump slider over the stored chapters: min…max, starting at the chapter (min when 0).
struct JumpRange {
    int minimum = 0;
    int maximum = 0;
    int value = 0;
};
JumpRange jumpRange(int minStored, int maxStored, int chapter);
// "%.0f" of a slider position: the chapter it stands on.
QString jumpText(double sliderValue);

// Added to every page from the application's world: every block of the chapter text starts
// and ends on the 32-pixel line grid, so that a page edge (a multiple of 32) never cuts a line.
QString lineGridStyleSheet();

// The page document for a chapter text.
QString pageDocument(double fontSize, const QString& fontColor, const QString& body);

} // namespace ReaderSettings
