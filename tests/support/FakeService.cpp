#include "tests/support/FakeService.h"

#include <httplib.h>

#include <QDir>
#include <QHash>
#include <QUrl>
#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <zlib.h>

#include "tests/support/TestUtil.h"

namespace {

QByteArray gzipped(const QByteArray& data) {
    z_stream zs{};
    if (deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(int(deflateBound(&zs, uLong(data.size()))) + 32, Qt::Uninitialized);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(out.size());
    const int rc = deflate(&zs, Z_FINISH);
    const auto written = qsizetype(zs.total_out);
    deflateEnd(&zs);
    if (rc != Z_STREAM_END)
        return {};
    out.truncate(written);
    return out;
}

int localPort(int fd, bool peer) {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    const int rc = peer ? getpeername(fd, reinterpret_cast<sockaddr*>(&addr), &len)
                        : getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    if (rc != 0 || addr.ss_family != AF_INET)
        return -1;
    return ntohs(reinterpret_cast<sockaddr_in*>(&addr)->sin_port);
}

// The server end of the connection between our port and the client's port: found among the
// process's open descriptors, since the server library does not hand its sockets out.
int serverSocketFor(int serverPort, int clientPort) {
    const QStringList fds = QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
    for (const QString& name : fds) {
        bool ok = false;
        const int fd = name.toInt(&ok);
        if (ok && localPort(fd, false) == serverPort && localPort(fd, true) == clientPort)
            return fd;
    }
    return -1;
}

QList<QPair<QString, QString>> decodeQuery(const QByteArray& raw) {
    QList<QPair<QString, QString>> pairs;
    const auto decode = [](QByteArray part) {
        part.replace('+', ' ');
        return QString::fromUtf8(QByteArray::fromPercentEncoding(part));
    };
    for (const QByteArray& item : raw.split('&')) {
        if (item.isEmpty())
            continue;
        const qsizetype eq = item.indexOf('=');
        if (eq < 0)
            pairs.append(qMakePair(decode(item), QString()));
        else
            pairs.append(qMakePair(decode(item.left(eq)), decode(item.mid(eq + 1))));
    }
    return pairs;
}

} // namespace

struct FakeService::State {
    httplib::Server server;
    std::thread listener;
    int port = -1;

    mutable std::mutex mutex;
    std::condition_variable stopped;
    bool stopping = false;
    int runningHandlers = 0;
    QHash<QString, Handler> routes;
    QList<Request> log;

    static QString key(const QString& method, const QString& path) {
        return method.toUpper() + QLatin1Char(' ') + path;
    }

    void closeConnection(const httplib::Request& in) const {
        const int fd = serverSocketFor(port, in.remote_port);
        if (fd >= 0)
            ::shutdown(fd, SHUT_RDWR);
    }

    // Sleeps up to ms; false when the service is being stopped meanwhile.
    bool pause(int ms) {
        std::unique_lock lock(mutex);
        return !stopped.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
    }

    void handle(const httplib::Request& in, httplib::Response& out) {
        Request request;
        request.method = QString::fromStdString(in.method);
        request.path = QString::fromStdString(in.path);
        const QByteArray target = QByteArray::fromStdString(in.target);
        const qsizetype mark = target.indexOf('?');
        if (mark >= 0)
            request.rawQuery = target.mid(mark + 1);
        request.query = decodeQuery(request.rawQuery);
        for (const auto& [name, value] : in.headers)
            request.headers.append(
                {QByteArray::fromStdString(name), QByteArray::fromStdString(value)});
        request.body = QByteArray::fromStdString(in.body);

        Handler handler;
        {
            std::lock_guard lock(mutex);
            if (stopping) {
                // A kept-alive connection outliving the service: nobody answers any more.
                closeConnection(in);
                return;
            }
            log.append(request);
            handler = routes.value(key(request.method, request.path));
            if (!handler && request.method == QLatin1String("HEAD"))
                handler = routes.value(key(QStringLiteral("GET"), request.path));
            if (handler)
                ++runningHandlers;
        }
        Reply reply = Reply::text("Not Found", "text/plain");
        reply.status = 404;
        if (handler) {
            // Counted down however the handler ends, so that stopping never waits forever.
            struct Done {
                State* state;
                ~Done() {
                    {
                        std::lock_guard lock(state->mutex);
                        --state->runningHandlers;
                    }
                    state->stopped.notify_all();
                }
            } done{this};
            reply = handler(request);
            handler = nullptr;
        }
        const int status = reply.status;

        if (reply.delayMs > 0 && !pause(reply.delayMs)) {
            closeConnection(in);
            return;
        }
        if (reply.drop) {
            closeConnection(in);
            return;
        }

        out.status = status;
        QByteArray contentType = "text/plain";
        for (const auto& [name, value] : reply.headers) {
            if (name.compare("Content-Type", Qt::CaseInsensitive) == 0)
                contentType = value;
            else
                out.set_header(name.toStdString(), value.toStdString());
        }
        QByteArray body = reply.body;
        if (reply.gzip) {
            body = gzipped(body);
            out.set_header("Content-Encoding", "gzip");
        }
        if (body.isEmpty()) {
            out.set_header("Content-Type", contentType.toStdString());
            return;
        }
        // A content provider sends the bytes exactly as given (the library would otherwise
        // compress text answers on its own) and lets a body trickle out in pieces.
        const int pieces = std::clamp(reply.chunks, 1, int(body.size()));
        const qsizetype pieceSize = (body.size() + pieces - 1) / pieces;
        const int gapMs = reply.chunkDelayMs;
        out.set_content_provider(
            size_t(body.size()), contentType.toStdString(),
            [this, body, pieceSize, gapMs](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset > 0 && gapMs > 0 && !pause(gapMs))
                    return false;
                const qsizetype n = std::min<qsizetype>(pieceSize, body.size() - qsizetype(offset));
                return sink.write(body.constData() + offset, size_t(n));
            });
    }
};

namespace {

// One thread per connection, holding the service state alive until the connection ends, so
// that stopping the service never waits for idle keep-alive connections of the client.
class ThreadPerConnection final : public httplib::TaskQueue {
public:
    explicit ThreadPerConnection(std::weak_ptr<void> state) : state_(std::move(state)) {}

    void enqueue(std::function<void()> fn) override {
        auto keep = state_.lock();
        if (!keep)
            return;
        std::thread([keep, fn = std::move(fn)] { fn(); }).detach();
    }
    void shutdown() override {}

private:
    std::weak_ptr<void> state_;
};

} // namespace

FakeService::Reply& FakeService::Reply::withHeader(const QByteArray& name,
                                                   const QByteArray& value) {
    headers.append(qMakePair(name, value));
    return *this;
}

FakeService::Reply FakeService::Reply::json(const QByteArray& body, int status) {
    Reply reply;
    reply.status = status;
    reply.body = body;
    reply.withHeader("Content-Type", "application/json; charset=utf-8");
    return reply;
}

FakeService::Reply FakeService::Reply::text(const QByteArray& body, const QByteArray& contentType) {
    Reply reply;
    reply.body = body;
    reply.withHeader("Content-Type", contentType);
    return reply;
}

FakeService::Reply FakeService::Reply::redirect(const QByteArray& location, int status) {
    Reply reply;
    reply.status = status;
    reply.withHeader("Location", location);
    return reply;
}

FakeService::Reply FakeService::Reply::dropped() {
    Reply reply;
    reply.drop = true;
    return reply;
}

QString FakeService::Request::queryValue(const QString& key) const {
    for (const auto& [name, value] : query) {
        if (name == key)
            return value.isNull() ? QString(QLatin1String("")) : value;
    }
    return QString();
}

bool FakeService::Request::hasQueryKey(const QString& key) const {
    return std::any_of(query.cbegin(), query.cend(), [&](const auto& p) { return p.first == key; });
}

QByteArray FakeService::Request::header(const QByteArray& name) const {
    for (const auto& [n, value] : headers) {
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

FakeService::FakeService() : state_(std::make_shared<State>()) {
    State* state = state_.get();
    std::weak_ptr<void> weak = state_;
    state->server.new_task_queue = [weak] { return new ThreadPerConnection(weak); };
    state->server.set_keep_alive_timeout(2);
    const auto handler = [state](const httplib::Request& in, httplib::Response& out) {
        state->handle(in, out);
    };
    const std::string any = ".*";
    state->server.Get(any, handler);
    state->server.Post(any, handler);
    state->server.Put(any, handler);
    state->server.Patch(any, handler);
    state->server.Delete(any, handler);
    state->server.Options(any, handler);
    state->port = state->server.bind_to_any_port("127.0.0.1");
    if (state->port <= 0) {
        qWarning("FakeService: could not bind a port on 127.0.0.1");
        return;
    }
    state->listener = std::thread([state] { state->server.listen_after_bind(); });
    // Stopping a server that has not begun to listen would not stop it.
    for (int i = 0; i < 5000 && !state->server.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FakeService::~FakeService() {
    {
        // No route runs after this: handlers may refer to the test's own variables.
        std::unique_lock lock(state_->mutex);
        state_->stopping = true;
        state_->routes.clear();
        state_->stopped.notify_all();
        state_->stopped.wait(lock, [this] { return state_->runningHandlers == 0; });
    }
    state_->server.stop();
    if (state_->listener.joinable())
        state_->listener.join();
}

QString FakeService::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(state_->port);
}

int FakeService::port() const {
    return state_->port;
}

void FakeService::route(const QString& method, const QString& path, const Reply& reply) {
    route(method, path, Handler([reply](const Request&) { return reply; }));
}

void FakeService::route(const QString& method, const QString& path, Handler handler) {
    std::lock_guard lock(state_->mutex);
    state_->routes.insert(State::key(method, path), std::move(handler));
}

void FakeService::removeRoute(const QString& method, const QString& path) {
    std::lock_guard lock(state_->mutex);
    state_->routes.remove(State::key(method, path));
}

QList<FakeService::Request> FakeService::requests() const {
    std::lock_guard lock(state_->mutex);
    return state_->log;
}

QList<FakeService::Request> FakeService::requests(const QString& path) const {
    std::lock_guard lock(state_->mutex);
    QList<Request> matching;
    for (const Request& r : state_->log) {
        if (r.path == path)
            matching.append(r);
    }
    return matching;
}

int FakeService::requestCount() const {
    std::lock_guard lock(state_->mutex);
    return int(state_->log.size());
}

void FakeService::clearRequests() {
    std::lock_guard lock(state_->mutex);
    state_->log.clear();
}

bool FakeService::waitForRequests(int n, int timeoutMs) const {
    return testutil::waitUntil([this, n] { return requestCount() >= n; }, timeoutMs);
}
