// The favorite switch of a book's detail when the service's answer fails: an error page or a
// body that is not JSON leaves the reader signed in; only the service's own refusal signs out.
#include <gtest/gtest.h>

#include "catalog/BookDetailViewController.h"
#include "engines/HttpRequest.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "service/ServiceConfig.h"
#include "storage/MyBookList.h"
#include "storage/UserStore.h"
#include "tests/support/FakeService.h"
#include "tests/support/ScreenStage.h"
#include "tests/support/TestUtil.h"

TEST(FavoriteFailureTest, OnlyARefusalSignsTheReaderOut) {
    testutil::ScopedHome home;
    FakeService service;
    ServiceConfig::setBaseUrl(service.baseUrl());
    ServiceConfig::setLookupBase(service.baseUrl());
    HttpRequest::setDefaultTimeOutSeconds(5);
    service.route("GET", "/data/bookinfo",
                  FakeService::Reply::json(R"({"result":"ok","book":{"is_favouite":"0"}})"));
    service.route("GET", "/data/alsoread",
                  FakeService::Reply::json(R"({"result":"ok","books":[],"count":0})"));
    UserStore::signIn(QStringLiteral("tok-fav"), {{"id", 7}}, QStringLiteral("r@example.com"));

    Window* window = nullptr;
    NavigationController* nav = testutil::openStage(window);
    auto* detail = new BookDetailViewController();
    detail->setBookInfo(MyBookList::initWithDictionary(
        {{"book_id", 77}, {"title", QStringLiteral("收藏")}, {"last_chapter_number", 3}}));
    nav->pushViewController(detail, false);
    detail->loadViewIfNeeded();

    const auto toggle = [&] {
        ASSERT_TRUE(testutil::waitUntil(
            [&] { return !detail->notice() || !detail->notice()->isAnimating(); }));
        const int before = detail->notice() ? detail->notice()->displayCount() : 0;
        detail->action(BookDetailViewController::TagFavAdd);
        ASSERT_TRUE(testutil::waitUntil([&] { return detail->notice()->displayCount() > before; }));
    };
    const struct {
        const char* name;
        FakeService::Reply reply;
    } broken[] = {
        {"error page", FakeService::Reply::text("<html><h1>500</h1></html>", "text/html")},
        {"error status", FakeService::Reply::json("{}", 500)},
        {"not JSON", FakeService::Reply::text("busy", "text/plain")},
    };
    for (const auto& c : broken) {
        SCOPED_TRACE(c.name);
        service.route("GET", "/site/favouite", c.reply);
        toggle();
        EXPECT_EQ(detail->notice()->text(), QStringLiteral("操作失败"));
        EXPECT_TRUE(UserStore::isSignedIn());
        EXPECT_FALSE(detail->showsFavorite());
    }

    service.route("GET", "/site/favouite",
                  FakeService::Reply::json(R"({"result":"error","msg":"请重新登录"})"));
    toggle();
    EXPECT_EQ(detail->notice()->text(), QStringLiteral("操作失败"));
    EXPECT_FALSE(UserStore::isSignedIn());
    testutil::closeStage(window, nav);
}
