#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <gtest/gtest.h>

#include "account/AccountListViewController.h"
#include "account/EditableRowView.h"
#include "engines/HttpRequest.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "service/ServiceConfig.h"
#include "storage/UserStore.h"
#include "tests/support/FakeService.h"
#include "tests/support/TestUtil.h"
#include "widgets/PullingRefreshTableView.h"

namespace liststest {

using testutil::waitUntil;

// A book as the account lists give it.
inline QJsonObject book(const QJsonValue& id) {
    const int n = id.isString() ? id.toString().toInt() : id.toInt();
    return {{"book_id", id},
            {"title", QStringLiteral("书 %1").arg(n)},
            {"author", QStringLiteral("作者%1").arg(n)},
            {"coverimg", ""},
            {"category", QJsonObject{{"name", "玄幻"}}}};
}

// Page n of total reading records, book ids counted from 1, each book inside its record.
inline QJsonObject recordPage(int n, int total) {
    QJsonArray chapters;
    for (int id = (n - 1) * 11 + 1; id <= qMin(total, n * 11); ++id)
        chapters.append(QJsonObject{{"chapter_number", 3}, {"book", book(id)}});
    return {{"result", "ok"}, {"chapters", chapters}, {"count", total}};
}

// A signed-in user, the fake service and a navigation stack to push the list screens on.
class ListsTest : public ::testing::Test {
protected:
    static constexpr char kToken[] = "tok-reader-7";

    void SetUp() override {
        ServiceConfig::setBaseUrl(service.baseUrl());
        UserStore::signIn(QString::fromLatin1(kToken), {{QStringLiteral("id"), 7}},
                          QStringLiteral("reader"));
        window = new Window();
        root = new ViewController();
        nav = new NavigationController(root);
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        delete window;
        UserStore::signOut();
    }

    // Pushes a list screen and waits for its first page to be asked for and answered.
    template <class T> T* open(const QString& path) {
        auto* screen = new T();
        nav->pushViewController(screen, false);
        EXPECT_TRUE(settled(screen, path, 1));
        return screen;
    }

    // Waits until the service got n requests for path in all and the screen took the last.
    bool settled(AccountListViewController* screen, const QString& path, int n) {
        return waitUntil([&] { return service.requests(path).size() >= n; }) &&
               waitUntil([&] { return screen->loadsEnded() >= n; });
    }

    // A pull-up past the end of the list, as a finger lets go of it.
    static void pullUp(PullingRefreshTableView* table) {
        table->setContentOffsetY(qMax(0, table->contentHeight() - table->height()) + 61);
        table->tableViewDidEndDragging();
    }
    static void pullDown(PullingRefreshTableView* table) {
        table->setContentOffsetY(-61);
        table->tableViewDidEndDragging();
    }

    // The page numbers asked for on path, in order.
    QStringList pagesAsked(const QString& path) const {
        QStringList pages;
        for (const FakeService::Request& r : service.requests(path))
            pages << r.queryValue(QStringLiteral("page"));
        return pages;
    }

    // Answers path with what page(n) gives for the page number asked.
    void routePages(const QString& path, std::function<QJsonObject(int)> page) {
        service.route(QStringLiteral("GET"), path, [page](const FakeService::Request& r) {
            const int n = r.queryValue(QStringLiteral("page")).toInt();
            return FakeService::Reply::json(QJsonDocument(page(n)).toJson(QJsonDocument::Compact));
        });
    }
    void routeJson(const QString& path, const QByteArray& body) {
        service.route(QStringLiteral("GET"), path, FakeService::Reply::json(body));
    }

    // The last removal path answered with body (or dropped) and waited for.
    bool removalAnswered(AccountListViewController* screen, const QString& path, int n) {
        return waitUntil([&] { return service.requests(path).size() >= n; }) && waitUntil([&] {
                   return !screen->removalRequest() || screen->removalRequest()->isFinished();
               });
    }

    FakeService service;
    Window* window = nullptr;
    ViewController* root = nullptr;
    NavigationController* nav = nullptr;
};

} // namespace liststest
