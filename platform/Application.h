#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>

class QWidget;

// What the application tells its delegate, under the phone framework's event names.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate();

    virtual bool didFinishLaunchingWithOptions(const QVariantMap& options) = 0;
    virtual void didRegisterForRemoteNotificationsWithDeviceToken(const QByteArray& token) {
        Q_UNUSED(token);
    }
    virtual void didFailToRegisterForRemoteNotificationsWithError(const QString& error) {
        Q_UNUSED(error);
    }
    virtual void didReceiveRemoteNotification(const QVariantMap& payload) { Q_UNUSED(payload); }
    virtual void didReceiveLocalNotification(const QVariantMap& notification) {
        Q_UNUSED(notification);
    }
    virtual void applicationWillResignActive() {}
    virtual void applicationDidEnterBackground() {}
    virtual void applicationWillEnterForeground() {}
    virtual void applicationDidBecomeActive() {}
    virtual void applicationWillTerminate() {}

    // The application's main window, when the delegate has made one.
    virtual QWidget* mainWindow() const { return nullptr; }
};

// The running application as the phone framework presents it: one delegate, the active or
// background state, the icon's badge number, push registration, opening URLs.
class Application final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Application)

public:
    enum class State { Active, Inactive, Background };

    static Application& shared();

    void setDelegate(ApplicationDelegate* delegate) { delegate_ = delegate; }
    ApplicationDelegate* delegate() const { return delegate_; }

    // Launches: the delegate's didFinishLaunchingWithOptions, then the application becomes
    // active. Returns what the delegate returned.
    bool launch(const QVariantMap& options = {});

    State applicationState() const { return state_; }
    // Moves between the states, telling the delegate as the phone would (resign active, enter
    // background, enter foreground, become active).
    void setApplicationState(State state);
    // Terminating: tells the delegate.
    void terminate();

    int applicationIconBadgeNumber() const { return badge_; }
    void setApplicationIconBadgeNumber(int number);

    // Asks the push service for a device token (types: badge 1, sound 2, alert 4).
    void registerForRemoteNotificationTypes(int types);
    int registeredNotificationTypes() const { return types_; }

    // Opens a URL in the system; false when it could not.
    bool openURL(const QUrl& url);
    // The last URL asked to be opened (tests look at it instead of opening a browser).
    QUrl lastOpenedUrl() const { return lastOpened_; }
    // When off, openURL only records the URL (tests).
    void setOpensUrls(bool on) { opensUrls_ = on; }

    // The application's version as shown in the store ("1.0.0").
    static QString shortVersionString();

Q_SIGNALS:
    void badgeNumberChanged(int number);

private:
    Application();
    ~Application() override;

    ApplicationDelegate* delegate_ = nullptr;
    State state_ = State::Inactive;
    int badge_ = 0;
    int types_ = 0;
    QUrl lastOpened_;
    bool opensUrls_ = true;
};
