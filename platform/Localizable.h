#pragma once

#include <QString>

// The localization table: English keys, looked up in the application's Chinese table
// (context "Localizable"); a key without an entry shows itself.
class Localizable final {
public:
    Localizable() = delete;

    // Loads the table into the application (call once, after the application object).
    static bool install();
    static QString text(const char* key);
    static QString text(const QString& key);
};

// Shorthand used by the screens: L("The network is not good").
inline QString L(const char* key) {
    return Localizable::text(key);
}
