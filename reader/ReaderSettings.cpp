#include "reader/ReaderSettings.h"

#include <algorithm>
#include <cmath>

namespace {
bool readNumber(const QVariant& v, double* out) {
    if (!v.isValid() || v.isNull())
        return false;
    bool ok = false;
    const double d =
        v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
    if (ok && std::isfinite(d)) {
        *out = d;
        return true;
    }
    return false;
}
} // namespace

double ReaderSettings::fontSize(const QVariant& stored) {
    double d = 0;
    return readNumber(stored, &d) && d > 0 ? d : 14.0;
}

int ReaderSettings::readType(const QVariant& stored) {
    double d = 0;
    if (!readNumber(stored, &d))
        return 1;
    const int t = static_cast<int>(d);
    return t == 0 ? 1 : t;
}

double ReaderSettings::brightness(const QVariant& stored) {
    double d = 0;
    return readNumber(stored, &d) ? std::clamp(d, 0.0, 100.0) : 0.0;
}

double ReaderSettings::sliderBrightness(const QVariant& stored) {
    double d = 0;
    return readNumber(stored, &d) ? std::clamp(d, 0.0, 100.0) : 100.0;
}

double ReaderSettings::overlayAlpha(double brightness) {
    return (100.0 - brightness) / 200.0;
}

QString ReaderSettings::fontColor(int readType) {
    return readType == 1 ? QStringLiteral("#000000") : QStringLiteral("#989898");
}

int ReaderSettings::toggledReadType(int readType) {
    return readType == 1 ? 2 : 1;
}

int ReaderSettings::fontSegment(const QVariant& stored) {
    double d = 0;
    if (!readNumber(stored, &d))
        return -1;
    for (int i = 0; i < 4; ++i)
        if (kFontSizes[i] == static_cast<int>(d))
            return i;
    return -1;
}

int ReaderSettings::fontSizeOfSegment(int segment) {
    return segment >= 0 && segment < 4 ? kFontSizes[segment] : 0;
}

QString ReaderSettings::brightnessText(double sliderValue) {
    return QString::number(static_cast<int>(sliderValue + 0.5));
}

ReaderSettings::JumpRange ReaderSettings::jumpRange(int minStored, int maxStored, int chapter) {
    JumpRange r;
    r.minimum = minStored;
    r.maximum = maxStored;
    r.value = chapter == 0 ? minStored : chapter;
    return r;
}

QString ReaderSettings::jumpText(double sliderValue) {
    return QString::asprintf("%.0f", sliderValue);
}

QString ReaderSettings::pageDocument(double fontSize, const QString& fontColor,
                                     const QString& body) {
    // Composed piece by piece: the chapter text may hold anything, "%1" included.
    return QStringLiteral("<html> \n<head> \n<script type=\"text/javascript\">function OnLoad(){"
                          "document.documentElement.style.webkitTouchCallout = \"none\";"
                          "document.documentElement.style.webkitUserSelect = \"none\";}</script>"
                          "<style type=\"text/css\"> \nbody {margin:0;padding:0 15 0 15;"
                          "background-color:transparent;font-family: \"") +
           QStringLiteral("Arial") + QStringLiteral("\"; font-size: ") +
           QString::asprintf("%f", fontSize) + QStringLiteral("; color: ") + fontColor +
           QStringLiteral(";line-height: 32px;-webkit-touch-callout:none;}\n</style> \n</head> \n"
                          "<body  onload=\"OnLoad()\">") +
           body + QStringLiteral("</body> \n</html>");
}

// Every line of the page is 32 pixels high and every block starts on a line, so a page edge
// (a multiple of 32) never cuts a line. Within that, the chapter keeps its structure: text in
// tables, lists and form controls shows as lines of text, paragraphs and headings are set
// apart by whole empty lines, and only images, frames, embedded objects and rules are left out.
QString ReaderSettings::lineGridStyleSheet() {
    return QStringLiteral(
        "html,body{margin:0 !important;}"
        "body{padding-top:0 !important;padding-bottom:0 !important;}"
        // No vertical box decoration that is not a whole line; heights come from the lines.
        "body *{margin-top:0 !important;margin-bottom:0 !important;padding-top:0 !important;"
        "padding-bottom:0 !important;border-top-width:0 !important;"
        "border-bottom-width:0 !important;line-height:32px !important;height:auto !important;"
        "min-height:0 !important;max-height:none !important;position:static !important;"
        "float:none !important;transform:none !important;"
        // Inline runs in another face (bold, italic, a fallback font) sit at the top of their
        // line, so they can never make it taller than 32 pixels.
        "vertical-align:top !important;}"
        // Text is set in the reader's size; what the chapter makes smaller stays smaller.
        "body *:not(small):not(sub):not(sup){font-size:inherit !important;}"
        "body small,body sub,body sup{font-size:smaller !important;}"
        // Gaps between paragraphs and around headings, quotations and lists: one empty line.
        "body p,body h1,body h2,body h3,body h4,body h5,body h6,body blockquote,body ul,"
        "body ol,body dl,body pre,body table,body figure,body fieldset,body form{"
        "margin-top:32px !important;margin-bottom:32px !important;}"
        "body li p,body td p,body th p,body blockquote p{margin-top:0 !important;"
        "margin-bottom:0 !important;}"
        "body>:first-child{margin-top:0 !important;}"
        "body h1,body h2,body h3,body h4,body h5,body h6{font-weight:bold !important;}"
        // Tables become their rows and cells, each a block of lines.
        "body table,body caption,body thead,body tbody,body tfoot,body tr,body td,body th{"
        "display:block !important;}"
        "body pre{white-space:pre-wrap !important;}"
        "body ruby,body rb,body rt,body rtc,body rp{display:inline !important;}"
        // Form controls show their text on one line.
        "body input,body button,body select,body textarea{display:inline-block !important;"
        "height:32px !important;box-sizing:border-box !important;overflow:hidden !important;}"
        "img,svg,video,audio,iframe,frame,frameset,object,embed,canvas,picture,hr,"
        "script,style{display:none !important;}");
}
