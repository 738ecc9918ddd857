#pragma once

#include <QJsonObject>
#include <QMap>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <thread>

#include "tools/bookd/BookStore.h"

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

struct BookServerOptions {
    QString dataDir; // where the catalog lives; created and seeded when new
    QString host = QStringLiteral("127.0.0.1");
    int port = 0;                                 // 0 picks a free port
    int delayMs = 0;                              // every answer waits this long first
    double failRate = 0;                          // share of answers that fail on purpose
    std::optional<quint32> seed;                  // fixes the choice of failures; random when unset
    QString appVersion = QStringLiteral("1.0.0"); // what /lookup reports
    bool log = true;                              // one line per request on stderr
    int idleSeconds = 5;           // an idle kept-alive connection is closed after this
    std::function<qint64()> clock; // seconds since 1970; the system clock when unset
};

// bookd's HTTP side: every endpoint of the book service plus the app-store lookup and the
// cover images, over one BookStore. start() serves on a thread of its own (tests, the
// benchmark); bind() then run() serves on the calling thread (the bookd program).
class BookServer final {
public:
    using Options = BookServerOptions;

    explicit BookServer(Options options);
    ~BookServer();
    BookServer(const BookServer&) = delete;
    BookServer& operator=(const BookServer&) = delete;

    // Opens the catalog and binds the port; false (with a log line) when either fails.
    bool bind();
    // Serves until stop().
    void run();
    // bind(), then run() on a thread of its own.
    bool start();
    void stop();

    int port() const { return port_; }
    // Answers failed on purpose so far.
    int failuresInjected() const { return failures_.load(); }
    QString baseUrl() const;
    BookStore& store() { return store_; }

    // What a request carries once its query is read.
    struct Call {
        QString path;
        QMap<QString, QString> params;
        QString base;    // scheme, host and port the client used, for cover addresses
        qint64 user = 0; // the signed-in reader, 0 for none; answer() fills it in
    };
    // The answer for one call as the service computes it (no transport, no failures on
    // purpose); used by the routes and handy for tests of the rules alone.
    QJsonObject answer(const Call& call);
    static bool isSigned(const QString& path);
    // The log line of one request, with passwords and tokens masked.
    static QString logLine(const QString& peer, const QString& method, const QByteArray& target,
                           int status, size_t bytes);

private:
    using Handler = QJsonObject (BookServer::*)(const Call&);
    struct Route {
        Handler handler = nullptr;
        // Calls that act for a reader are refused with this text when no reader is signed in.
        QString withoutReader;
    };
    static const QMap<QString, Route>& routes();

    void install();
    bool injectFailure(httplib::Response& res);
    void serveCover(const httplib::Request& req, httplib::Response& res);
    void serveCall(const httplib::Request& req, httplib::Response& res);

    // Endpoint handlers.
    QJsonObject getdevice(const Call& c);
    QJsonObject logout(const Call& c);
    QJsonObject login(const Call& c);
    QJsonObject sendValidateCode(const Call& c);
    QJsonObject reg(const Call& c);
    QJsonObject favouite(const Call& c);
    QJsonObject readchapter(const Call& c);
    QJsonObject removeReadrecord(const Call& c);
    QJsonObject deleteReadRecord(const Call& c);
    QJsonObject reporterror(const Call& c);
    QJsonObject feedbackForm(const Call& c);
    QJsonObject getcontent(const Call& c);
    QJsonObject menu(const Call& c);
    QJsonObject bookinfo(const Call& c);
    QJsonObject alsoread(const Call& c);
    QJsonObject sitesName(const Call& c);
    QJsonObject suggest(const Call& c);
    QJsonObject booklist(const Call& c);
    QJsonObject categorylist(const Call& c);
    QJsonObject getreadlog(const Call& c);
    QJsonObject getfavouite(const Call& c);
    QJsonObject mymsg(const Call& c);
    QJsonObject noticeRead(const Call& c);
    QJsonObject noticeDelete(const Call& c);
    QJsonObject lookup(const Call& c);

    // The signed-in user of a call: 0 when the token is absent or no longer valid.
    qint64 userOf(const Call& c);
    // The chapters of the book, 0 when there is no such book.
    int chaptersOf(std::optional<int> bookId);

    Options options_;
    BookStore store_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    std::mutex randomMutex_;
    std::mt19937 random_;
    std::atomic<int> failures_{0};
    std::mutex coverMutex_;
};
