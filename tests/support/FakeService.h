#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <memory>

// An HTTP server on 127.0.0.1 for tests, standing in for the book service. It listens on a
// free port from construction to destruction and answers from a table of routes set by the
// test; a path without a route answers 404. Every request it receives is logged.
//
//     FakeService service;
//     service.route("GET", "/data/suggest", FakeService::Reply::json(R"({"result":"ok"})"));
//     ... point the client at service.baseUrl() ...
//     ASSERT_TRUE(service.waitForRequests(1));
//     EXPECT_EQ(service.requests().first().queryValue("page"), "1");
//
// Routes and the log may be used from any thread; answers are produced on the server's own
// threads, so a handler function must not touch widgets.
class FakeService final {
public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    // What a route answers.
    struct Reply {
        int status = 200;
        QByteArray body;
        // Content-Type defaults to "text/plain" (no charset) when not given here.
        Headers headers;
        int delayMs = 0;   // silence before anything is sent
        bool gzip = false; // body sent gzip-compressed with Content-Encoding: gzip
        // The connection is closed without any answer; Qt's HTTP stack then sends the request
        // once more, as for a stale kept-alive connection, so expect it logged twice.
        bool drop = false;
        int chunks = 1;       // body sent in this many pieces ...
        int chunkDelayMs = 0; // ... with this pause before each piece after the first

        // Adds a header to the answer.
        Reply& withHeader(const QByteArray& name, const QByteArray& value);

        // 200 with Content-Type "application/json; charset=utf-8".
        static Reply json(const QByteArray& body, int status = 200);
        // 200 with the given Content-Type.
        static Reply text(const QByteArray& body, const QByteArray& contentType);
        // 302 (or status) with Location: location (an absolute URL or a path).
        static Reply redirect(const QByteArray& location, int status = 302);
        // Closes the connection without answering.
        static Reply dropped();
    };

    // One logged request.
    struct Request {
        QString method;
        QString path;                         // percent-decoded
        QByteArray rawQuery;                  // the query exactly as received, no "?"
        QList<QPair<QString, QString>> query; // decoded pairs in order ('+' is a space)
        Headers headers;                      // as received
        QByteArray body;

        // The first value of a query key; a null QString when absent.
        QString queryValue(const QString& key) const;
        bool hasQueryKey(const QString& key) const;
        // The first header of that name, compared case-insensitively; empty when absent.
        QByteArray header(const QByteArray& name) const;
    };

    using Handler = std::function<Reply(const Request&)>;

    FakeService();
    ~FakeService();
    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    // "http://127.0.0.1:PORT"
    QString baseUrl() const;
    int port() const;

    // Answers method (e.g. "GET", "POST") + path (without query) with a fixed reply, or with
    // what handler returns for each request. A later route for the same pair replaces it.
    void route(const QString& method, const QString& path, const Reply& reply);
    void route(const QString& method, const QString& path, Handler handler);
    void removeRoute(const QString& method, const QString& path);

    QList<Request> requests() const;
    QList<Request> requests(const QString& path) const;
    int requestCount() const;
    void clearRequests();
    // Runs the Qt event loop until at least n requests arrived in all; false on time-out.
    bool waitForRequests(int n, int timeoutMs = 10000) const;

private:
    struct State;
    std::shared_ptr<State> state_;
};
