#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariantMap>

#include <gtest/gtest.h>
#include <memory>

#include "engines/HttpRequest.h"
#include "service/Service.h"
#include "service/ServiceConfig.h"
#include "tests/support/TestUtil.h"
#include "tools/bookd/BookServer.h"

namespace bookdtest {

// A bookd on a free port over a fresh data folder, for as long as the object lives.
class LocalBookd {
public:
    explicit LocalBookd(BookServerOptions options = {}) {
        options.dataDir = dir_.path();
        options.log = false;
        options.idleSeconds = 1; // so that stopping does not wait long for idle connections
        server_ = std::make_unique<BookServer>(options);
        started_ = server_->start();
    }
    bool started() const { return started_; }
    BookServer& server() { return *server_; }
    QString base() const { return server_->baseUrl(); }
    QString dataDir() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    std::unique_ptr<BookServer> server_;
    bool started_ = false;
};

// One answer as the client's own request code receives it.
struct Reply {
    bool finished = false; // an HTTP answer arrived (didFinish)
    int status = 0;
    QByteArray body;
    QByteArray contentEncoding;
    QJsonObject json; // empty when the body is not a JSON object
    bool ok() const { return json.value(QStringLiteral("result")).toString() == "ok"; }
    QString msg() const { return json.value(QStringLiteral("msg")).toString(); }
};

// Sends one request through HttpRequest and waits for its callback.
inline Reply fetch(const QUrl& url, const QString& method = QStringLiteral("GET")) {
    QObject owner;
    HttpRequest* request = Service::request(url, &owner);
    request->setRequestMethod(method);
    Reply reply;
    bool done = false;
    request->setDidFinish([&](HttpRequest* r) {
        reply.finished = true;
        reply.status = r->responseStatusCode();
        reply.body = r->responseData();
        reply.contentEncoding = r->responseHeader("Content-Encoding");
        reply.json = QJsonDocument::fromJson(r->responseString().toUtf8()).object();
        done = true;
    });
    request->setDidFail([&](HttpRequest*) { done = true; });
    request->startAsynchronous();
    EXPECT_TRUE(testutil::waitUntil([&] { return done; }, 20000)) << url.toString().toStdString();
    return reply;
}

// A signed call to the service the client is configured for.
inline Reply call(const QString& path, const QVariantMap& params) {
    return fetch(Service::signedUrl(path, params));
}

// A field the service sends as a number or as a string, as the client reads it.
inline QString text(const QJsonValue& value) {
    return Service::textOf(value.toVariant());
}

// The given page, eleven books to a page, as every list screen asks for it.
inline QVariantMap page(QVariantMap params, int n) {
    params.insert(QStringLiteral("limit"), QStringLiteral("11"));
    params.insert(QStringLiteral("page"), QString::number(n));
    return params;
}

// The first page of a reader's list, as that reader.
inline QVariantMap firstPage(const QString& token) {
    return page({{QStringLiteral("token"), token}}, 1);
}

// The bookd shared by the contract and flow tests of this executable, started on first use;
// the client's base URL points at it.
inline LocalBookd& shared() {
    // Stopped and its folder removed once the tests are over, while the application object
    // still exists: the server's threads draw covers, and Qt frees a thread's font cache only
    // when the thread ends before the application object goes.
    class StopAfterTheTests final : public ::testing::Environment {
    public:
        explicit StopAfterTheTests(std::unique_ptr<LocalBookd>& bookd) : bookd_(bookd) {}
        void TearDown() override { bookd_.reset(); }

    private:
        std::unique_ptr<LocalBookd>& bookd_;
    };
    static std::unique_ptr<LocalBookd> instance;
    if (!instance) {
        instance = std::make_unique<LocalBookd>();
        ::testing::AddGlobalTestEnvironment(new StopAfterTheTests(instance));
    }
    ServiceConfig::setBaseUrl(instance->base());
    ServiceConfig::setLookupBase(instance->base());
    return *instance;
}

// A new account over HTTP (code, then registration by mobile); its token.
inline QString registerByMobile(const QString& mobile, const QString& password) {
    const Reply code =
        call(QStringLiteral("/site/send_validate_code"), {{QStringLiteral("mobile"), mobile}});
    if (!code.ok())
        return {};
    const Reply reg = call(QStringLiteral("/site/reg"), {{QStringLiteral("mobile"), mobile},
                                                         {QStringLiteral("password"), password},
                                                         {QStringLiteral("channel"), "IP_4S"}});
    return reg.json.value(QStringLiteral("token")).toString();
}

} // namespace bookdtest
