#pragma once

#include <QString>

// Where folia keeps its files. On a phone these are the app's documents and caches
// directories; here they live under the user's data and cache locations, or both under
// $FOLIA_HOME when it is set (tests point it at a fresh temporary folder).
class Paths final {
public:
    Paths() = delete;

    // The documents directory (books.sqlite, covers/, avatars). Created on first use.
    static QString documentsDir();
    // The caches directory (the remote-image cache). Created on first use.
    static QString cachesDir();
    // Where the user-defaults file and the keychain fallback file live. Created on first use.
    static QString preferencesDir();

    // Moves both directories under one folder (documents/, caches/ and preferences/ inside it);
    // an empty text goes back to $FOLIA_HOME or the platform locations.
    static void setHome(const QString& folder);
};
