#include "app/AppDelegate.h"

#include "app/tooles.h"
#include "catalog/FifthViewController.h"
#include "catalog/FirstViewController.h"
#include "catalog/FouthViewController.h"
#include "catalog/SecondViewController.h"
#include "catalog/ThirdViewController.h"
#include "catalog/WZGuideViewController.h"
#include "engines/HttpRequest.h"
#include "platform/PushNotifications.h"
#include "platform/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "service/Endpoints.h"
#include "service/Service.h"

namespace {
constexpr int kBadge = 1, kSound = 2, kAlert = 4;
} // namespace

AppDelegate::AppDelegate(QObject* parent) : QObject(parent) {}

AppDelegate::~AppDelegate() {
    delete window_;
}

bool AppDelegate::didFinishLaunchingWithOptions(const QVariantMap& options) {
    Q_UNUSED(options);
    Application& app = Application::shared();
    // Every list of the app marks its selected rows in the app's colour, not the desktop's.
    tooles::useAppSelectionColor();
    app.registerForRemoteNotificationTypes(kBadge | kSound | kAlert);

    UserDefaults& defaults = UserDefaults::standard();
    if (!defaults.boolForKey(QStringLiteral("everLaunched"))) {
        defaults.setObject(QStringLiteral("everLaunched"), true);
        defaults.setObject(QStringLiteral("firstLaunch"), true);
    }

    window_ = new Window();
    buildTabs();
    window_->makeKeyAndVisible();

    if (defaults.boolForKey(QStringLiteral("firstLaunch"))) {
        defaults.setObject(QStringLiteral("FontSizeId"), QStringLiteral("18"));
        defaults.setObject(QStringLiteral("LightSizeId"), QStringLiteral("100"));
        defaults.setObject(QStringLiteral("ReadType"), 1);
        defaults.setObject(QStringLiteral("is_open_wifi"), false);
        defaults.synchronize();
        WZGuideViewController::show();
    }

    tooles::cleanToken();
    app.setApplicationIconBadgeNumber(0);
    return true;
}

void AppDelegate::buildTabs() {
    struct Tab {
        ViewController* screen;
        const char* title;
        const char* image;
        int tag;
    };
    const Tab tabs[] = {
        {new FirstViewController(), "书架", "public_tabbarBg_Icon_books", 1},
        {new SecondViewController(), "推荐", "public_tabbarBg_Icon_recom", 2},
        {new ThirdViewController(), "排行", "public_tabbarBg_Icon_rank", 3},
        {new FouthViewController(), "分类", "public_tabbarBg_Icon_class", 4},
        {new FifthViewController(), "搜索", "public_tabbarBg_Icon_search", 5},
    };
    QList<ViewController*> stacks;
    for (const Tab& tab : tabs) {
        auto* nav = new NavigationController(tab.screen);
        nav->setTabBarItem({QString::fromUtf8(tab.title), QString::fromLatin1(tab.image), tab.tag});
        stacks.append(nav);
    }
    tabbarcontroller_ = new TabBarController();
    tabbarcontroller_->setViewControllers(stacks);
    tabbarcontroller_->setTintColor(Qt::white);
    tabbarcontroller_->setBackgroundImage(QStringLiteral("public_tabbarBg"));
    tabbarcontroller_->setSelectionIndicatorImage(QStringLiteral("public_tabbarBg_select"));
    window_->setRootViewController(tabbarcontroller_);
}

QString AppDelegate::deviceTokenText(const QString& description) {
    QString text = description;
    while (!text.isEmpty() &&
           (text.front() == QLatin1Char('<') || text.front() == QLatin1Char('>')))
        text.remove(0, 1);
    while (!text.isEmpty() && (text.back() == QLatin1Char('<') || text.back() == QLatin1Char('>')))
        text.chop(1);
    text.remove(QLatin1Char(' '));
    return text;
}

void AppDelegate::didRegisterForRemoteNotificationsWithDeviceToken(const QByteArray& token) {
    const QString text = deviceTokenText(PushNotifications::tokenDescription(token));
    QVariantMap params;
    params.insert(QStringLiteral("device_token"), text);
    // The registration it replaces is cancelled and freed: with its callbacks cleared it
    // would never free itself.
    if (HttpRequest* old = asiHttpRequest_.data()) {
        old->clearDelegatesAndCancel();
        old->deleteLater();
    }
    // Fire and forget: the answer is not read and a failure is not reported.
    HttpRequest* request = Service::request(Service::signedUrl(Endpoints::getdevice, params), this);
    asiHttpRequest_ = request;
    request->setDidFinish([](HttpRequest* r) { r->deleteLater(); });
    request->setDidFail([](HttpRequest* r) { r->deleteLater(); });
    request->startAsynchronous();
}

void AppDelegate::didFailToRegisterForRemoteNotificationsWithError(const QString& error) {
    qInfo("Push Register Error:%s", qUtf8Printable(error));
}

QString AppDelegate::alertText(const QVariantMap& payload) {
    const QVariant aps = payload.value(QStringLiteral("aps"));
    if (aps.typeId() != QMetaType::QVariantMap)
        return {};
    const QVariant alert = aps.toMap().value(QStringLiteral("alert"));
    if (alert.typeId() == QMetaType::QString)
        return alert.toString();
    if (alert.typeId() == QMetaType::QVariantMap) {
        const QVariant body = alert.toMap().value(QStringLiteral("body"));
        return body.typeId() == QMetaType::QString ? body.toString() : QString();
    }
    return {};
}

void AppDelegate::didReceiveRemoteNotification(const QVariantMap& payload) {
    Application& app = Application::shared();
    app.setApplicationIconBadgeNumber(0);
    const QString text = alertText(payload);
    const QVariantMap aps = payload.value(QStringLiteral("aps")).toMap();
    app.setApplicationIconBadgeNumber(aps.value(QStringLiteral("badge")).toInt());
    if (app.applicationState() != Application::State::Active || text.isEmpty())
        return;
    auto* alert = new AlertView(QStringLiteral("温馨提示"), text, this, QStringLiteral("确认"));
    alert->show();
}

void AppDelegate::didReceiveLocalNotification(const QVariantMap& notification) {
    Q_UNUSED(notification);
    Application::shared().setApplicationIconBadgeNumber(0);
}

void AppDelegate::applicationDidBecomeActive() {
    Application::shared().setApplicationIconBadgeNumber(0);
}

QWidget* AppDelegate::mainWindow() const {
    return window_;
}

void AppDelegate::alertViewClickedButtonAtIndex(AlertView* alert, int index) {
    Q_UNUSED(alert);
    if (index == 0)
        Application::shared().setApplicationIconBadgeNumber(0);
}
