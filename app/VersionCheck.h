#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "engines/HttpRequest.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NoticeView.h"

// The app-store version check. The bookshelf runs it each time it comes into view (unless the
// user asked not to be reminded); the member center runs it from its version row and also says
// when there is nothing newer. It belongs to the screen that starts it (a child of it), and so
// does its request.
class VersionCheck final : public QObject, public AlertViewDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VersionCheck)

public:
    enum class Form { Bookshelf, MemberCenter };

    // notice: the member center's notice overlay, for the network failure; may be null.
    VersionCheck(Form form, QObject* owner, NoticeView* notice = nullptr);
    ~VersionCheck() override;

    // Starts the lookup. The bookshelf form does nothing while nomore_remind is set; false then.
    bool start();

    // The store page of the newer version, once an answer named one.
    QString appUrl() const { return appUrl_; }
    HttpRequest* asiHttpRequest() const { return request_; }
    // The alert the check showed, while it shows.
    AlertView* alert() const { return alert_; }

    void alertViewClickedButtonAtIndex(AlertView* alert, int index) override;

Q_SIGNALS:
    // The check is over: an alert went up (or not), or the lookup failed.
    void finished();

private:
    void answered(const QByteArray& body);
    void failed();

    Form form_;
    QPointer<NoticeView> notice_;
    QPointer<HttpRequest> request_;
    QPointer<AlertView> alert_;
    QString appUrl_;
};
