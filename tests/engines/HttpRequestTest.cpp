#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringEncoder>
#include <QTcpServer>
#include <QThread>
#include <memory>

#include "engines/HttpRequest.h"
#include "service/Service.h"
#include "tests/support/FakeService.h"
#include "tests/support/TestUtil.h"

using testutil::spin;
using testutil::waitUntil;

namespace {

class HttpRequestTest : public ::testing::Test {
protected:
    void SetUp() override { HttpRequest::setDefaultTimeOutSeconds(10); }
    void TearDown() override { HttpRequest::setDefaultTimeOutSeconds(10); }

    QUrl url(const QString& pathAndQuery) const { return QUrl(service.baseUrl() + pathAndQuery); }

    // A request owned by owner, counting its callbacks.
    HttpRequest* make(const QUrl& target, QObject* by = nullptr) {
        auto* request = new HttpRequest(target, by ? by : owner.get());
        request->setDidFinish([this](HttpRequest*) { ++finished; });
        request->setDidFail([this](HttpRequest* r) {
            ++failed;
            failure = r->error();
        });
        return request;
    }

    bool waitDone(int timeoutMs = 10000) {
        return waitUntil([this] { return finished + failed > 0; }, timeoutMs);
    }

    FakeService service;
    std::unique_ptr<QObject> owner = std::make_unique<QObject>();
    int finished = 0;
    int failed = 0;
    HttpRequest::Error failure = HttpRequest::Error::None;
};

TEST_F(HttpRequestTest, ServiceRequestSendsAcceptJsonAndAsksForGzip) {
    service.route("GET", "/data/suggest", FakeService::Reply::json(R"({"result":"ok"})"));
    HttpRequest* request = Service::request(url("/data/suggest?page=1"), owner.get());
    request->setDidFinish([this](HttpRequest*) { ++finished; });
    request->startAsynchronous();

    ASSERT_TRUE(waitDone());
    EXPECT_EQ(finished, 1);
    ASSERT_EQ(service.requestCount(), 1);
    const FakeService::Request seen = service.requests().first();
    EXPECT_EQ(seen.method, "GET");
    EXPECT_EQ(seen.header("Accept"), "application/json");
    EXPECT_EQ(seen.header("Accept-Encoding"), "gzip");
    EXPECT_NE(seen.header("Connection").toLower(), "close");
    EXPECT_TRUE(Service::decode(request).ok);
    EXPECT_TRUE(request->responseHeader("Content-Encoding").isEmpty()); // sent as given
}

TEST_F(HttpRequestTest, GzipAnswerArrivesInflatedAndACorruptOneFails) {
    const QByteArray json = QStringLiteral(R"({"result":"ok","msg":"第一章 开始"})").toUtf8();
    FakeService::Reply reply = FakeService::Reply::json(json);
    reply.gzip = true;
    service.route("GET", "/zipped", reply);
    HttpRequest* request = make(url("/zipped"));
    request->startAsynchronous();
    ASSERT_TRUE(waitDone());
    ASSERT_EQ(finished, 1);
    EXPECT_EQ(request->responseHeader("Content-Encoding"), "gzip");
    EXPECT_EQ(request->responseData(), json);
    EXPECT_EQ(Service::decode(request->responseString()).msg, QStringLiteral("第一章 开始"));

    // A failure, not garbage.
    FakeService::Reply broken = FakeService::Reply::json("this is not gzip at all");
    broken.withHeader("Content-Encoding", "gzip");
    service.route("GET", "/broken", broken);
    HttpRequest* corrupt = make(url("/broken"));
    corrupt->startAsynchronous();
    ASSERT_TRUE(waitUntil([this] { return failed == 1; }));
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(failure, HttpRequest::Error::Connection);
    EXPECT_TRUE(corrupt->responseData().isEmpty());
}

TEST_F(HttpRequestTest, RedirectIsFollowedAndCookiesTravelBetweenRequests) {
    FakeService::Reply login = FakeService::Reply::redirect("/home");
    login.withHeader("Set-Cookie", "sid=abc123; Path=/");
    service.route("GET", "/login", login);
    service.route("GET", "/home", FakeService::Reply::json(R"({"result":"ok"})"));
    service.route("GET", "/next", FakeService::Reply::json(R"({"result":"ok"})"));

    HttpRequest* first = make(url("/login"));
    first->startAsynchronous();
    ASSERT_TRUE(waitDone());
    ASSERT_EQ(finished, 1);
    EXPECT_EQ(first->responseStatusCode(), 200);
    EXPECT_EQ(first->responseData(), R"({"result":"ok"})");
    ASSERT_EQ(service.requests("/home").size(), 1);

    finished = 0;
    make(url("/next"))->startAsynchronous();
    ASSERT_TRUE(waitDone());
    ASSERT_EQ(service.requests("/next").size(), 1);
    EXPECT_EQ(service.requests("/next").first().header("Cookie"), "sid=abc123");
}

TEST_F(HttpRequestTest, ServerErrorPageIsDeliveredAsAnswerAndDecodesAsRefusal) {
    FakeService::Reply page =
        FakeService::Reply::text("<html><body>Internal error</body></html>", "text/html");
    page.status = 500;
    service.route("GET", "/data/bookinfo", page);
    HttpRequest* request = make(url("/data/bookinfo"));
    request->startAsynchronous();

    ASSERT_TRUE(waitDone());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(request->error(), HttpRequest::Error::None);
    EXPECT_EQ(request->responseStatusCode(), 500);
    const Service::Answer answer = Service::decode(request);
    EXPECT_FALSE(answer.ok);
    EXPECT_TRUE(answer.dict.isEmpty());

    // A path nobody serves is an answer too.
    finished = 0;
    HttpRequest* missing = make(url("/nowhere"));
    missing->startAsynchronous();
    ASSERT_TRUE(waitDone());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(missing->responseStatusCode(), 404);
}

TEST_F(HttpRequestTest, SilentServerTimesOutAfterInactivity) {
    FakeService::Reply slow = FakeService::Reply::json(R"({"result":"ok"})");
    slow.delayMs = 20000;
    service.route("GET", "/silent", slow);
    HttpRequest::setDefaultTimeOutSeconds(0.5);
    HttpRequest* request = make(url("/silent"));
    EXPECT_DOUBLE_EQ(request->timeOutSeconds(), 0.5);

    QElapsedTimer clock;
    clock.start();
    request->startAsynchronous();
    ASSERT_TRUE(waitDone());
    const qint64 elapsed = clock.elapsed();
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(failure, HttpRequest::Error::TimedOut);
    EXPECT_GE(elapsed, 450);
    EXPECT_LT(elapsed, 5000);
    spin(200);
    EXPECT_EQ(failed, 1); // no retry reported, no second callback
}

TEST_F(HttpRequestTest, ABodyStallingAfterHeadersTimesOutButASteadyTrickleDoesNot) {
    FakeService::Reply stall = FakeService::Reply::json(QByteArray(4000, 'x'));
    stall.chunks = 2;
    stall.chunkDelayMs = 20000;
    service.route("GET", "/stall", stall);
    HttpRequest* request = make(url("/stall"));
    request->setTimeOutSeconds(0.5);
    request->startAsynchronous();
    ASSERT_TRUE(waitDone());
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(failure, HttpRequest::Error::TimedOut);

    QByteArray body;
    for (int i = 0; i < 600; ++i)
        body += QByteArray::number(i) + ',';
    FakeService::Reply trickle = FakeService::Reply::text(body, "text/plain");
    trickle.chunks = 6;
    trickle.chunkDelayMs = 250; // 1.25 s in all, never 0.8 s silent
    service.route("GET", "/trickle", trickle);
    HttpRequest* steady = make(url("/trickle"));
    steady->setTimeOutSeconds(0.8);
    steady->startAsynchronous();
    ASSERT_TRUE(waitUntil([this] { return finished == 1; }));
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(steady->responseData(), body);
}

TEST_F(HttpRequestTest, CancelReportsCancelledOnceAndLater) {
    FakeService::Reply slow = FakeService::Reply::json(R"({"result":"ok"})");
    slow.delayMs = 20000;
    service.route("GET", "/slow", slow);
    HttpRequest* request = make(url("/slow"));
    request->startAsynchronous();
    ASSERT_TRUE(service.waitForRequests(1));

    request->cancel();
    EXPECT_EQ(failed, 0); // never from inside cancel()
    EXPECT_TRUE(request->isFinished());
    ASSERT_TRUE(waitDone());
    spin(200);
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(failure, HttpRequest::Error::Cancelled);
    request->cancel();
    spin(50);
    EXPECT_EQ(failed, 1);

    // Forgetting the callbacks first: nothing is called at all.
    failed = 0;
    HttpRequest* quiet = make(url("/slow"));
    quiet->startAsynchronous();
    ASSERT_TRUE(service.waitForRequests(2));
    quiet->clearDelegatesAndCancel();
    spin(200);
    EXPECT_EQ(failed + finished, 0);
    EXPECT_EQ(quiet->error(), HttpRequest::Error::Cancelled);
}

TEST_F(HttpRequestTest, DestroyedOwnerHearsNothing) {
    FakeService::Reply later = FakeService::Reply::json(R"({"result":"ok"})");
    later.delayMs = 300;
    service.route("GET", "/later", later);
    QPointer<HttpRequest> request = make(url("/later"));
    request->startAsynchronous();
    ASSERT_TRUE(service.waitForRequests(1));
    owner.reset();
    EXPECT_TRUE(request.isNull());
    spin(700);
    EXPECT_EQ(finished + failed, 0);

    // Cancelled and then destroyed before the event loop ran: the pending failure is dropped.
    owner = std::make_unique<QObject>();
    HttpRequest* cancelled = make(url("/later"));
    cancelled->startAsynchronous();
    cancelled->cancel();
    owner.reset();
    spin(100);
    EXPECT_EQ(finished + failed, 0);
}

TEST_F(HttpRequestTest, CallbackThatDestroysItsOwnerDoesNotCrash) {
    service.route("GET", "/ok", FakeService::Reply::json(R"({"result":"ok"})"));
    service.route("GET", "/gone", FakeService::Reply::dropped());
    FakeService::Reply silent = FakeService::Reply::json(R"({"result":"ok"})");
    silent.delayMs = 20000;
    service.route("GET", "/silent", silent);
    // An answer, a lost connection and the inactivity time-out: each handler closes the screen
    // that owns the request.
    const struct {
        const char* path;
        HttpRequest::Error error;
    } cases[] = {{"/ok", HttpRequest::Error::None},
                 {"/gone", HttpRequest::Error::Connection},
                 {"/silent", HttpRequest::Error::TimedOut}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        auto* screen = new QObject;
        QPointer<HttpRequest> request = new HttpRequest(url(c.path), screen);
        request->setTimeOutSeconds(0.3);
        int calls = 0;
        HttpRequest::Error seen = HttpRequest::Error::Cancelled;
        const auto closeScreen = [&calls, &seen, screen](HttpRequest* r) {
            ++calls;
            seen = r->error();
            delete screen;
        };
        request->setDidFinish(closeScreen);
        request->setDidFail(closeScreen);
        request->startAsynchronous();
        ASSERT_TRUE(waitUntil([&] { return calls > 0; }));
        spin(100);
        EXPECT_TRUE(request.isNull());
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(seen, c.error);
    }
}

TEST_F(HttpRequestTest, PostWithEmptyBodyAndNoPersistentConnection) {
    service.route("POST", "/data/getcontent", FakeService::Reply::json(R"({"result":"ok"})"));
    HttpRequest* request = make(url("/data/getcontent?book_id=7&chapters=1,2"));
    request->setRequestMethod("POST");
    request->setShouldAttemptPersistentConnection(false);
    request->setShouldContinueWhenAppEntersBackground(true);
    request->startAsynchronous();

    ASSERT_TRUE(waitDone());
    EXPECT_EQ(finished, 1);
    ASSERT_EQ(service.requestCount(), 1);
    const FakeService::Request seen = service.requests().first();
    EXPECT_EQ(seen.method, "POST");
    EXPECT_TRUE(seen.body.isEmpty());
    EXPECT_EQ(seen.header("Content-Length"), "0");
    EXPECT_EQ(seen.header("Connection").toLower(), "close");
    EXPECT_EQ(seen.queryValue("chapters"), "1,2");
    EXPECT_TRUE(request->shouldContinueWhenAppEntersBackground());
}

TEST_F(HttpRequestTest, BodyIsDecodedInTheDeclaredCharset) {
    QStringEncoder toGbk("GBK");
    ASSERT_TRUE(toGbk.isValid());
    const QString chinese = QStringLiteral("第三章 风起");
    const QByteArray gbk = toGbk.encode(chinese);
    struct Case {
        const char* path;
        QByteArray body;
        QByteArray contentType;
        QString expected;
    };
    const QList<Case> cases = {
        {"/gbk", gbk, "text/html; charset=GBK", chinese},
        {"/gbk-quoted", gbk, "text/html; Charset=\"gbk\"", chinese},
        {"/utf8", chinese.toUtf8(), "text/plain;charset=utf-8", chinese},
        {"/none", "caf\xe9", "text/html", QStringLiteral("café")},
        {"/unknown", "caf\xe9", "text/html; charset=x-no-such-charset", QStringLiteral("café")},
        {"/json", chinese.toUtf8(), "application/json", chinese},
    };
    for (const Case& c : cases) {
        service.route("GET", c.path, FakeService::Reply::text(c.body, c.contentType));
        finished = 0;
        HttpRequest* request = make(url(c.path));
        request->startAsynchronous();
        ASSERT_TRUE(waitDone()) << c.path;
        EXPECT_EQ(request->responseString(), c.expected) << c.path;
    }
}

TEST_F(HttpRequestTest, RefusedOrDroppedConnectionFails) {
    int closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    make(QUrl(QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort)))->startAsynchronous();
    ASSERT_TRUE(waitDone());
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(failure, HttpRequest::Error::Connection);

    failed = 0;
    service.route("GET", "/drop", FakeService::Reply::dropped());
    HttpRequest* dropped = make(url("/drop"));
    dropped->startAsynchronous();
    ASSERT_TRUE(waitDone());
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(failure, HttpRequest::Error::Connection);
    EXPECT_FALSE(dropped->errorString().isEmpty());
    // Qt's HTTP stack itself sends a request again once when the connection closes before any
    // answer (the stale keep-alive case); nothing on top of that retries.
    EXPECT_GE(service.requests("/drop").size(), 1);
    EXPECT_LE(service.requests("/drop").size(), 2);
}

TEST_F(HttpRequestTest, StartSynchronousReturnsWithTheBodyOnAnyThread) {
    service.route("GET", "/cover.png", FakeService::Reply::text("PNGDATA", "image/png"));
    HttpRequest* request = make(url("/cover.png"));
    request->startSynchronous();
    EXPECT_TRUE(request->isFinished());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(request->responseData(), "PNGDATA");

    HttpRequest* refused = make(QUrl(QStringLiteral("http://127.0.0.1:1/x")));
    refused->startSynchronous();
    EXPECT_TRUE(refused->isFinished());
    EXPECT_EQ(failed, 1);

    QByteArray body;
    std::unique_ptr<QThread> worker(QThread::create([&, target = url("/cover.png")] {
        HttpRequest onWorker(target, nullptr);
        onWorker.startSynchronous();
        body = onWorker.responseData();
    }));
    worker->start();
    ASSERT_TRUE(waitUntil([&] { return worker->isFinished(); }));
    EXPECT_EQ(body, "PNGDATA");
}

} // namespace
