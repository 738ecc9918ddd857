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

QString ReaderSettings::lineGridStyleSheet() {
    return QStringLiteral(
        "html,body{margin:0 !important;}"
        "body{padding-top:0 !important;padding-bottom:0 !important;}"
        "body *{margin-top:0 !important;margin-bottom:0 !important;padding-top:0 !important;"
        "padding-bottom:0 !important;border-top-width:0 !important;"
        "border-bottom-width:0 !important;line-height:32px !important;"
        "font-size:inherit !important;vertical-align:baseline !important;"
        "max-height:none !important;}"
        // Inline runs in another face (bold, italic, a fallback font) would stretch their line
        // by a pixel; as boxes one pixel high they leave the line its 32 pixels.
        "a,abbr,b,bdi,bdo,big,cite,code,del,dfn,em,font,i,ins,kbd,label,mark,q,s,samp,small,"
        "span,strike,strong,sub,sup,tt,u,var,ruby,rb,rt{line-height:1px !important;}"
        "img,svg,video,audio,iframe,object,embed,canvas,hr,table,input,button,select,"
        "textarea,script,style{display:none !important;}");
}
