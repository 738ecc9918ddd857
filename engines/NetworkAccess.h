#pragma once

class QNetworkAccessManager;

// The one network access manager of the application, living on the main thread: no answer
// cache, one cookie jar for every request, redirects followed unless they lead from https to
// http. Created on first use, after the application object; destroyed with it. Called on
// another thread, it gives that thread a manager of its own, configured the same way.
class NetworkAccess final {
public:
    NetworkAccess() = delete;

    static QNetworkAccessManager* manager();
};
