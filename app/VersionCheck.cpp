#include "app/VersionCheck.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/tooles.h"
#include "engines/HttpRequest.h"
#include "platform/Application.h"
#include "platform/Localizable.h"
#include "platform/UserDefaults.h"
#include "platform/ui/NoticeView.h"
#include "service/Service.h"

namespace {
constexpr int kUpdateAlertTag = 1;
const QString kNomoreRemind = QStringLiteral("nomore_remind");
} // namespace

VersionCheck::VersionCheck(Form form, QObject* owner, NoticeView* notice)
    : QObject(owner), form_(form), notice_(notice) {}

VersionCheck::~VersionCheck() {
    if (alert_)
        alert_->dismiss();
}

bool VersionCheck::start() {
    if (form_ == Form::Bookshelf && UserDefaults::standard().boolForKey(kNomoreRemind))
        return false;
    // The check it replaces is cancelled and freed: with its callbacks cleared it would never
    // free itself.
    if (HttpRequest* old = request_.data()) {
        old->clearDelegatesAndCancel();
        old->deleteLater();
    }
    // The store lookup is not the book service: no signing, no Accept header.
    auto* request = new HttpRequest(Service::lookupUrl(), this);
    request_ = request;
    request->setDidFinish([this](HttpRequest* r) {
        answered(r->responseData());
        r->deleteLater();
    });
    request->setDidFail([this](HttpRequest* r) {
        failed();
        r->deleteLater();
    });
    request->startAsynchronous();
    return true;
}

void VersionCheck::answered(const QByteArray& body) {
    const QJsonArray results = QJsonDocument::fromJson(body).object().value("results").toArray();
    const QJsonObject latest = results.isEmpty() ? QJsonObject() : results.first().toObject();
    const QString version = latest.value("version").toString();
    // No result, or one without a version, tells nothing about a newer version.
    if (version.isEmpty()) {
        Q_EMIT finished();
        return;
    }
    const bool same = version == Application::shortVersionString();
    if (same && form_ == Form::Bookshelf) {
        Q_EMIT finished();
        return;
    }
    if (same) {
        alert_ = new AlertView(QStringLiteral("提示"), QStringLiteral("当前已经是最新的版本了"),
                               nullptr, QStringLiteral("知道了"));
        alert_->show();
        Q_EMIT finished();
        return;
    }
    appUrl_ = latest.value("trackViewUrl").toString();
    if (form_ == Form::Bookshelf) {
        alert_ = new AlertView(QStringLiteral("升级提醒"), latest.value("description").toString(),
                               this, QStringLiteral("立即更新"),
                               {QStringLiteral("稍候再说"), QStringLiteral("不再提醒")});
    } else {
        alert_ = new AlertView(QStringLiteral("V%1升级提醒").arg(version),
                               QStringLiteral("发现新版本,是否更新？"), this,
                               QStringLiteral("立即更新"), {QStringLiteral("稍候再说")});
    }
    alert_->setTag(kUpdateAlertTag);
    alert_->show();
    Q_EMIT finished();
}

void VersionCheck::failed() {
    if (form_ == Form::Bookshelf)
        qInfo("%s", qPrintable(L("The network is not good")));
    else if (notice_)
        notice_->showNetworkNotice();
    Q_EMIT finished();
}

void VersionCheck::alertViewClickedButtonAtIndex(AlertView* alert, int index) {
    if (!alert || alert->tag() != kUpdateAlertTag)
        return;
    UserDefaults& defaults = UserDefaults::standard();
    switch (index) {
    case 0:
        tooles::OpenUrl(appUrl_);
        break;
    case 1:
        defaults.setObject(kNomoreRemind, false);
        defaults.synchronize();
        break;
    case 2:
        defaults.setObject(kNomoreRemind, true);
        defaults.synchronize();
        break;
    default:
        break;
    }
}
