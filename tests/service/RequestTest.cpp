#include <gtest/gtest.h>

#include "engines/HttpRequest.h"
#include "service/Endpoints.h"
#include "service/Service.h"
#include "service/ServiceConfig.h"
#include "tests/support/FakeService.h"
#include "tests/support/TestUtil.h"

// The whole road of a signed call: composition, escaping on the wire, the Accept header,
// the answer decoded from its declared charset.
TEST(ServiceRequestTest, SignedCallReachesTheServiceAsComposed) {
    FakeService service;
    service.route(QStringLiteral("GET"), QLatin1String(Endpoints::booklist),
                  FakeService::Reply::text("{\"result\":\"ok\",\"msg\":\"\xb2\xe2\xca\xd4\"}",
                                           "application/json; charset=GBK"));
    const QString saved = ServiceConfig::baseUrl();
    ServiceConfig::setBaseUrl(service.baseUrl());

    QObject owner;
    const QVariantMap params{{QStringLiteral("keyword"), QStringLiteral("修真")},
                             {QStringLiteral("note"), QStringLiteral("a&b")}};
    HttpRequest* request =
        Service::request(Service::signedUrl(QLatin1String(Endpoints::booklist), params), &owner);
    ServiceConfig::setBaseUrl(saved);
    ASSERT_EQ(request->parent(), &owner);
    bool finished = false;
    request->setDidFinish([&](HttpRequest*) { finished = true; });
    request->startAsynchronous();
    ASSERT_TRUE(testutil::waitUntil([&] { return finished; }));

    ASSERT_EQ(service.requestCount(), 1);
    const FakeService::Request got = service.requests().first();
    EXPECT_EQ(got.header("Accept"), QByteArray("application/json"));
    EXPECT_TRUE(got.rawQuery.startsWith("keyword=%E4%BF%AE%E7%9C%9F&note=a%26b&checksum="))
        << got.rawQuery.constData();

    const Service::Answer answer = Service::decode(request);
    EXPECT_TRUE(answer.ok);
    EXPECT_EQ(answer.msg, QStringLiteral("测试"));
}
