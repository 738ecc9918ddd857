#pragma once

#include <QObject>
#include <QPointer>

#include "engines/HttpRequest.h"
#include "platform/Application.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/TabBarController.h"

class Window;

// The application delegate: the launch sequence, the five tabs, push registration and pushed
// alerts, and the icon badge.
class AppDelegate final : public QObject, public ApplicationDelegate, public AlertViewDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppDelegate)

public:
    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    bool didFinishLaunchingWithOptions(const QVariantMap& options) override;
    void didRegisterForRemoteNotificationsWithDeviceToken(const QByteArray& token) override;
    void didFailToRegisterForRemoteNotificationsWithError(const QString& error) override;
    void didReceiveRemoteNotification(const QVariantMap& payload) override;
    void didReceiveLocalNotification(const QVariantMap& notification) override;
    void applicationDidBecomeActive() override;
    QWidget* mainWindow() const override;

    void alertViewClickedButtonAtIndex(AlertView* alert, int index) override;

    Window* window() const { return window_; }
    TabBarController* tabbarcontroller() const { return tabbarcontroller_; }
    HttpRequest* asiHttpRequest() const { return asiHttpRequest_; }

    // The token as the service wants it: the description without "<", ">" and spaces.
    static QString deviceTokenText(const QString& description);
    // The text a pushed payload shows: aps.alert when a string, aps.alert.body when a
    // dictionary; empty otherwise.
    static QString alertText(const QVariantMap& payload);

private:
    void buildTabs();

    Window* window_ = nullptr;
    QPointer<TabBarController> tabbarcontroller_;
    QPointer<HttpRequest> asiHttpRequest_;
};
