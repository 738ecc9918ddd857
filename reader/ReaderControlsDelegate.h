#pragma once

#include <QString>

// What the reading controls report to the reading screen.
class ReaderControlsDelegate {
public:
    virtual ~ReaderControlsDelegate();
    virtual void changeFontSize(double size) = 0;           // 16, 18, 20 or 22
    virtual void changeLuminance(const QString& value) = 0; // "0" … "100"
    virtual void changePlan(const QString& chapter) = 0;    // a chapter number
};
