#include "platform/Application.h"

#include <QCoreApplication>
#include <QDesktopServices>

#include "platform/PushNotifications.h"

ApplicationDelegate::~ApplicationDelegate() = default;

Application::Application() = default;
Application::~Application() = default;

Application& Application::shared() {
    static Application* app = new Application();
    return *app;
}

bool Application::launch(const QVariantMap& options) {
    bool ok = true;
    if (delegate_)
        ok = delegate_->didFinishLaunchingWithOptions(options);
    setApplicationState(State::Active);
    return ok;
}

void Application::setApplicationState(State state) {
    if (state == state_)
        return;
    const State old = state_;
    state_ = state;
    if (!delegate_)
        return;
    if (old == State::Active)
        delegate_->applicationWillResignActive();
    if (state == State::Background)
        delegate_->applicationDidEnterBackground();
    if (old == State::Background)
        delegate_->applicationWillEnterForeground();
    if (state == State::Active)
        delegate_->applicationDidBecomeActive();
}

void Application::terminate() {
    if (delegate_)
        delegate_->applicationWillTerminate();
}

void Application::setApplicationIconBadgeNumber(int number) {
    if (number == badge_)
        return;
    badge_ = number;
    Q_EMIT badgeNumberChanged(number);
}

void Application::registerForRemoteNotificationTypes(int types) {
    types_ = types;
    PushNotifications::requestRegistration(types);
}

bool Application::openURL(const QUrl& url) {
    if (!url.isValid() || url.isEmpty())
        return false;
    lastOpened_ = url;
    return opensUrls_ ? QDesktopServices::openUrl(url) : true;
}

QString Application::shortVersionString() {
    const QString v = QCoreApplication::applicationVersion();
    return v.isEmpty() ? QStringLiteral(FOLIA_VERSION) : v;
}
