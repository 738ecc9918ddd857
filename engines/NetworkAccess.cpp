#include "engines/NetworkAccess.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QPointer>
#include <QThread>
#include <QThreadStorage>

namespace {

void configure(QNetworkAccessManager* manager) {
    manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    manager->setCookieJar(new QNetworkCookieJar(manager));
    manager->setCache(nullptr);
    manager->setAutoDeleteReplies(false);
}

} // namespace

QNetworkAccessManager* NetworkAccess::manager() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        // A manager belongs to one thread: a request made elsewhere (a blocking download on a
        // worker) gets a manager of that thread, with cookies of its own.
        static QThreadStorage<QNetworkAccessManager*> perThread;
        if (!perThread.hasLocalData()) {
            auto* manager = new QNetworkAccessManager;
            configure(manager);
            perThread.setLocalData(manager);
        }
        return perThread.localData();
    }
    static QPointer<QNetworkAccessManager> shared;
    if (!shared) {
        shared = new QNetworkAccessManager(app);
        configure(shared);
    }
    return shared;
}
