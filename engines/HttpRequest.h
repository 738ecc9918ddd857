#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>

class QEventLoop;
class QNetworkReply;
class QTimer;

// One HTTP request, created for one URL and used once. The screen that starts it owns it
// (it is a child of the owner), so destroying the screen destroys the request, which
// cancels, detaches its callbacks, and never calls back.
//
// Exactly one of the two callbacks runs, on the main thread: didFinish whenever an HTTP
// answer arrived, whatever its status code; didFail on a connection error, on the
// inactivity time-out (no retry) and on cancel(). An unset callback is simply not called.
class HttpRequest final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HttpRequest)

public:
    enum class Error { None, Connection, TimedOut, Cancelled };
    using Callback = std::function<void(HttpRequest*)>;

    HttpRequest(const QUrl& url, QObject* owner);
    ~HttpRequest() override;

    // Settings; all take effect at startAsynchronous().
    void setRequestMethod(const QString& method); // "GET" (default) or "POST" (empty body)
    void addRequestHeader(const QString& name, const QString& value);
    void setShouldAttemptPersistentConnection(bool on);     // on by default
    void setShouldContinueWhenAppEntersBackground(bool on); // recorded only
    void setTimeOutSeconds(double seconds); // seconds without network activity; 0: none
    void setDidFinish(Callback fn);
    void setDidFail(Callback fn);

    void startAsynchronous();
    // Blocks the caller until the request finished or failed (the callbacks still run). Usable
    // on a worker thread too, which then gets a network manager of its own.
    void startSynchronous();

    // Ends a running request; its didFail runs with Error::Cancelled from the event loop, never
    // from inside cancel(), and not at all if the request is destroyed before then.
    void cancel();
    // Forgets both callbacks, then cancels: nothing is called any more.
    void clearDelegatesAndCancel();

    QUrl url() const { return url_; }
    QString requestMethod() const { return method_; }
    bool shouldAttemptPersistentConnection() const { return persistent_; }
    bool shouldContinueWhenAppEntersBackground() const { return continueInBackground_; }
    double timeOutSeconds() const { return timeOutSeconds_; }
    bool isFinished() const { return finished_; }

    int responseStatusCode() const { return statusCode_; }
    QByteArray responseHeader(const QByteArray& name) const;
    QByteArray responseData() const { return body_; }
    // The body decoded in the charset the answer's Content-Type declares; when it declares none,
    // UTF-8 for JSON types and ISO-8859-1 for the rest (also for a charset nobody knows).
    QString responseString() const;

    Error error() const { return error_; }
    QString errorString() const { return errorString_; }

    // Default inactivity time-out for new requests (10 s); tests lower it.
    static void setDefaultTimeOutSeconds(double seconds);
    static double defaultTimeOutSeconds();
    // The global network-activity indicator switch (a desktop has no indicator to update).
    static void setShouldUpdateNetworkActivityIndicator(bool on);
    static bool shouldUpdateNetworkActivityIndicator();

private:
    void onReplyFinished();
    void restartInactivityTimer();
    void onInactivity();
    void detachReply();
    void finish(Error error, const QString& errorString);

    QUrl url_;
    QString method_ = QStringLiteral("GET");
    QList<QPair<QByteArray, QByteArray>> headers_;
    bool persistent_ = true;
    bool continueInBackground_ = false;
    double timeOutSeconds_;
    Callback didFinish_;
    Callback didFail_;

    QPointer<QNetworkReply> reply_; // the manager may delete it first, at shutdown
    bool started_ = false;
    bool finished_ = false;
    int statusCode_ = 0;
    QList<QPair<QByteArray, QByteArray>> responseHeaders_;
    QByteArray body_;
    Error error_ = Error::None;
    QString errorString_;
    bool timedOut_ = false;
    QTimer* timer_ = nullptr;
    QEventLoop* syncLoop_ = nullptr;
};
