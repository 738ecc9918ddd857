#include "engines/HttpRequest.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStringDecoder>
#include <QTimer>
#include <atomic>
#include <utility>
#include <zlib.h>

#include "engines/NetworkAccess.h"

namespace {

std::atomic<double> gDefaultTimeOutSeconds{10.0};
std::atomic<bool> gUpdateActivityIndicator{true};

// How long an idle persistent connection is kept for the next request.
constexpr int kIdleConnectionSeconds = 60;

// Inflates a gzip body (one member or several in a row); false when it is not valid gzip.
bool gunzip(const QByteArray& in, QByteArray& out) {
    out.clear();
    if (in.isEmpty())
        return true;
    z_stream zs{};
    if (inflateInit2(&zs, 16 + MAX_WBITS) != Z_OK)
        return false;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    zs.avail_in = uInt(in.size());
    char buffer[64 * 1024];
    bool ok = false;
    for (;;) {
        zs.next_out = reinterpret_cast<Bytef*>(buffer);
        zs.avail_out = sizeof buffer;
        const int rc = inflate(&zs, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - zs.avail_out));
        if (rc == Z_STREAM_END) {
            if (zs.avail_in == 0) {
                ok = true;
                break;
            }
            if (inflateReset(&zs) != Z_OK)
                break;
            continue;
        }
        if (rc != Z_OK)
            break; // corrupt data, or the body ended in the middle of a member
    }
    inflateEnd(&zs);
    return ok;
}

QByteArray headerValue(const QList<QPair<QByteArray, QByteArray>>& headers,
                       const QByteArray& name) {
    for (const auto& [n, value] : headers) {
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool hasHeader(const QList<QPair<QByteArray, QByteArray>>& headers, const QByteArray& name) {
    for (const auto& header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The charset parameter of a Content-Type value, without quotes; empty when none.
QByteArray charsetOf(const QByteArray& contentType) {
    const QList<QByteArray> parts = contentType.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray param = parts[i].trimmed();
        const qsizetype eq = param.indexOf('=');
        if (eq < 0 || param.left(eq).trimmed().toLower() != "charset")
            continue;
        QByteArray value = param.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value.trimmed();
    }
    return {};
}

bool isJsonType(const QByteArray& contentType) {
    const QByteArray media = contentType.split(';').first().trimmed().toLower();
    return media == "application/json" || media.endsWith("+json");
}

} // namespace

HttpRequest::HttpRequest(const QUrl& url, QObject* owner)
    : QObject(owner), url_(url), timeOutSeconds_(gDefaultTimeOutSeconds.load()) {}

HttpRequest::~HttpRequest() {
    // The owner is going away: end the transfer and forget the callbacks; nothing is called.
    didFinish_ = nullptr;
    didFail_ = nullptr;
    detachReply();
    if (syncLoop_)
        syncLoop_->quit();
}

void HttpRequest::setRequestMethod(const QString& method) {
    method_ = method.toUpper();
}

void HttpRequest::addRequestHeader(const QString& name, const QString& value) {
    headers_.append(qMakePair(name.toLatin1(), value.toUtf8()));
}

void HttpRequest::setShouldAttemptPersistentConnection(bool on) {
    persistent_ = on;
}

void HttpRequest::setShouldContinueWhenAppEntersBackground(bool on) {
    continueInBackground_ = on;
}

void HttpRequest::setTimeOutSeconds(double seconds) {
    timeOutSeconds_ = seconds;
}

void HttpRequest::setDidFinish(Callback fn) {
    didFinish_ = std::move(fn);
}

void HttpRequest::setDidFail(Callback fn) {
    didFail_ = std::move(fn);
}

void HttpRequest::startAsynchronous() {
    if (started_ || finished_)
        return;
    started_ = true;

    QNetworkRequest request(url_);
    for (const auto& [name, value] : headers_)
        request.setRawHeader(name, value);
    // Set explicitly, so the answer arrives as sent and is inflated here, whoever asked.
    if (!hasHeader(headers_, "Accept-Encoding"))
        request.setRawHeader("Accept-Encoding", "gzip");
    if (!hasHeader(headers_, "User-Agent"))
        request.setRawHeader("User-Agent", "folia/" FOLIA_VERSION);
    if (!persistent_)
        request.setRawHeader("Connection", "close");
    else
        request.setAttribute(QNetworkRequest::ConnectionCacheExpiryTimeoutSecondsAttribute,
                             kIdleConnectionSeconds);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);

    QNetworkAccessManager* manager = NetworkAccess::manager();
    if (method_ == QLatin1String("GET")) {
        reply_ = manager->get(request);
    } else if (method_ == QLatin1String("POST")) {
        if (!hasHeader(headers_, "Content-Type"))
            request.setHeader(QNetworkRequest::ContentTypeHeader,
                              QByteArrayLiteral("application/x-www-form-urlencoded"));
        reply_ = manager->post(request, QByteArray());
    } else if (method_ == QLatin1String("HEAD")) {
        reply_ = manager->head(request);
    } else {
        reply_ = manager->sendCustomRequest(request, method_.toLatin1());
    }

    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &HttpRequest::onInactivity);
    // Every sign of life on the connection restarts the inactivity time-out.
    connect(reply_, &QNetworkReply::metaDataChanged, this, &HttpRequest::restartInactivityTimer);
    connect(reply_, &QNetworkReply::readyRead, this, &HttpRequest::restartInactivityTimer);
    connect(reply_, &QNetworkReply::downloadProgress, this, &HttpRequest::restartInactivityTimer);
    connect(reply_, &QNetworkReply::uploadProgress, this, &HttpRequest::restartInactivityTimer);
    connect(reply_, &QNetworkReply::redirected, this, &HttpRequest::restartInactivityTimer);
    connect(reply_, &QNetworkReply::finished, this, &HttpRequest::onReplyFinished);
    restartInactivityTimer();
}

void HttpRequest::startSynchronous() {
    QPointer<HttpRequest> self(this);
    startAsynchronous();
    if (finished_ || !reply_)
        return;
    QEventLoop loop;
    syncLoop_ = &loop;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (self)
        syncLoop_ = nullptr;
}

void HttpRequest::restartInactivityTimer() {
    if (!timer_ || finished_)
        return;
    if (timeOutSeconds_ > 0)
        timer_->start(int(timeOutSeconds_ * 1000.0));
    else
        timer_->stop();
}

void HttpRequest::onInactivity() {
    if (!reply_ || finished_)
        return;
    timedOut_ = true;
    // Detached before the abort, so the reply's own finished signal never reaches us: the
    // failure callback below may destroy the owner and with it this request, and nothing of
    // this object is touched after it.
    detachReply();
    finish(Error::TimedOut, tr("The request timed out"));
}

void HttpRequest::onReplyFinished() {
    QNetworkReply* reply = reply_;
    if (!reply || finished_)
        return;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError code = reply->error();
    const QString replyError = reply->errorString();
    statusCode_ = status.isValid() ? status.toInt() : 0;
    responseHeaders_ = reply->rawHeaderPairs();
    const QByteArray raw = reply->isOpen() ? reply->readAll() : QByteArray();
    detachReply();

    if (timedOut_ || code == QNetworkReply::TimeoutError) {
        finish(Error::TimedOut, tr("The request timed out"));
        return;
    }
    if (code == QNetworkReply::OperationCanceledError) {
        finish(Error::Cancelled, tr("The request was cancelled"));
        return;
    }
    // An HTTP answer arrived when there is a status code and any error is the server's
    // (content, protocol and server errors start at 201); transport errors are below that.
    const bool answered = status.isValid() && (code == QNetworkReply::NoError ||
                                               code >= QNetworkReply::ContentAccessDenied);
    if (!answered) {
        finish(Error::Connection, replyError);
        return;
    }
    const QByteArray encoding = headerValue(responseHeaders_, "Content-Encoding").trimmed();
    if (encoding.compare("gzip", Qt::CaseInsensitive) == 0 ||
        encoding.compare("x-gzip", Qt::CaseInsensitive) == 0) {
        if (!gunzip(raw, body_)) {
            body_.clear();
            finish(Error::Connection, tr("The compressed answer could not be inflated"));
            return;
        }
    } else {
        body_ = raw;
    }
    finish(Error::None, QString());
}

void HttpRequest::detachReply() {
    QNetworkReply* reply = std::exchange(reply_, nullptr);
    if (!reply)
        return;
    disconnect(reply, nullptr, this, nullptr);
    if (!reply->isFinished())
        reply->abort();
    reply->deleteLater();
}

void HttpRequest::finish(Error error, const QString& errorString) {
    if (finished_)
        return;
    finished_ = true;
    error_ = error;
    errorString_ = errorString;
    if (timer_)
        timer_->stop();
    if (syncLoop_)
        syncLoop_->quit();
    // A copy: the callback may destroy the owner and with it this request.
    const Callback fn = error == Error::None ? didFinish_ : didFail_;
    if (fn)
        fn(this);
}

void HttpRequest::cancel() {
    if (finished_)
        return;
    detachReply();
    finished_ = true;
    error_ = Error::Cancelled;
    errorString_ = tr("The request was cancelled");
    if (timer_)
        timer_->stop();
    if (syncLoop_)
        syncLoop_->quit();
    // Delivered from the event loop, never from inside cancel(); dropped if this request is
    // destroyed or its callbacks cleared before then.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const Callback fn = didFail_;
            if (fn)
                fn(this);
        },
        Qt::QueuedConnection);
}

void HttpRequest::clearDelegatesAndCancel() {
    didFinish_ = nullptr;
    didFail_ = nullptr;
    cancel();
}

QByteArray HttpRequest::responseHeader(const QByteArray& name) const {
    return headerValue(responseHeaders_, name);
}

QString HttpRequest::responseString() const {
    const QByteArray contentType = responseHeader("Content-Type");
    QByteArray charset = charsetOf(contentType);
    // JSON has one encoding of its own; other types without a charset are ISO-8859-1.
    if (charset.isEmpty())
        charset = isJsonType(contentType) ? QByteArray("UTF-8") : QByteArray("ISO-8859-1");
    QStringDecoder decoder(charset.constData());
    if (!decoder.isValid())
        return QString::fromLatin1(body_);
    return decoder.decode(body_);
}

void HttpRequest::setDefaultTimeOutSeconds(double seconds) {
    gDefaultTimeOutSeconds = seconds;
}

double HttpRequest::defaultTimeOutSeconds() {
    return gDefaultTimeOutSeconds.load();
}

void HttpRequest::setShouldUpdateNetworkActivityIndicator(bool on) {
    gUpdateActivityIndicator = on;
}

bool HttpRequest::shouldUpdateNetworkActivityIndicator() {
    return gUpdateActivityIndicator.load();
}
