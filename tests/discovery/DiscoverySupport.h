#pragma once

// A phone window with a navigation stack over the fake book service, for the recommendation,
// ranking, category and search screens; and the service's lists made to order.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QUrlQuery>
#include <gtest/gtest.h>
#include <map>

#include "catalog/BookListPanel.h"
#include "engines/HttpRequest.h"
#include "platform/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "service/Service.h"
#include "service/ServiceConfig.h"
#include "storage/BookDb.h"
#include "tests/support/FakeService.h"
#include "tests/support/ScreenStage.h"
#include "tests/support/TestUtil.h"
#include "widgets/PullLoadingView.h"
#include "widgets/PullingRefreshTableView.h"

namespace discoverytest {

// One list element of the service: book `id` of a list named `list`.
inline QJsonObject bookJson(int id, const QString& list,
                            const QString& site = QStringLiteral("甲站")) {
    return QJsonObject{{"book_id", id},
                       {"title", QStringLiteral("%1 第%2本").arg(list).arg(id)},
                       {"author", QStringLiteral("作者%1").arg(id)},
                       {"coverimg", QString()},
                       {"category", QJsonObject{{"id", 1}, {"name", QStringLiteral("玄幻")}}},
                       {"last_chapter_number", "25"},
                       {"last_chapter_title", QStringLiteral("第25章")},
                       {"last_update_time", "2026-11-30 10:00:00"},
                       {"status", QStringLiteral("连载中")},
                       {"intro", QStringLiteral("<p>简介</p>")},
                       {"source_site_name", site},
                       {"is_favouite", 0},
                       {"source_site_nums", 2}};
}

// A page of a list of `total` books, as the service answers it: books numbered from
// base + 1, eleven to a page.
inline QByteArray pageJson(const QString& list, int total, int page, int base = 0) {
    QJsonArray books;
    for (int i = (page - 1) * 11; i < total && i < page * 11; ++i)
        books.append(bookJson(base + i + 1, list));
    return QJsonDocument(QJsonObject{{"result", "ok"}, {"books", books}, {"count", total}})
        .toJson(QJsonDocument::Compact);
}

// The book ids a panel holds, in order.
inline QList<int> idsOf(const BookListPanel* panel) {
    QList<int> ids;
    for (const MyBookList& b : panel->books())
        ids.append(Service::textOf(b.myId()).toInt());
    return ids;
}

inline QList<int> range(int from, int to) {
    QList<int> list;
    for (int i = from; i <= to; ++i)
        list.append(i);
    return list;
}

// The user pulls the list up past its end and lets go.
inline void pullUp(PullingRefreshTableView* table) {
    QCoreApplication::processEvents();
    table->setContentOffsetY(std::max(0, table->contentHeight() - table->height()) + 70);
    table->tableViewDidEndDragging();
}

// The user pulls the list down past its top and lets go.
inline void pullDown(PullingRefreshTableView* table) {
    table->setContentOffsetY(-70);
    table->tableViewDidEndDragging();
}

inline bool isLoading(const PullingRefreshTableView* table) {
    return table->headerView()->state() == 2 || table->footerView()->state() == 2;
}

class DiscoveryTest : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        service = new FakeService();
        ServiceConfig::setBaseUrl(service->baseUrl());
        HttpRequest::setDefaultTimeOutSeconds(5);
        Window::setScreenHeight(Window::kTallHeight);
        nav = testutil::openStage(window);
    }
    static void TearDownTestSuite() {
        testutil::closeStage(window, nav);
        delete service;
        service = nullptr;
    }

protected:
    void SetUp() override {
        BookDb db;
        db.deleteAllSearchRecord();
        db.deleteCategory();
    }
    void TearDown() override {
        nav->popToRootViewController(false);
        testutil::spin(30);
        UserDefaults::standard().removeObjectForKey(QStringLiteral("user_token"));
        UserDefaults::standard().removeObjectForKey(QStringLiteral("user_info"));
        for (const char* path : {"/data/suggest", "/data/booklist", "/data/categorylist"})
            service->removeRoute(QStringLiteral("GET"), QString::fromLatin1(path));
        service->clearRequests();
    }

    // Pushes a screen and loads its view.
    template <typename T> T* show(T* screen) {
        nav->pushViewController(screen, false);
        screen->loadViewIfNeeded();
        QCoreApplication::processEvents();
        return screen;
    }

    // Serves /data/booklist or /data/suggest: `key`=value selects one of the lists, each with
    // its number of books (books of list k are numbered from k * 1000 + 1).
    static void serveLists(const QString& path, const QString& key,
                           const std::map<QString, int>& totals, int delayMs = 0) {
        service->route(
            QStringLiteral("GET"), path, [key, totals, delayMs](const FakeService::Request& r) {
                const QString value = r.queryValue(key);
                const auto it = totals.find(value);
                if (it == totals.end())
                    return FakeService::Reply::json(R"({"result":"fail","msg":"no such list"})");
                const int base = int(std::distance(totals.begin(), it)) * 1000;
                FakeService::Reply reply = FakeService::Reply::json(pageJson(
                    value, it->second, r.queryValue(QStringLiteral("page")).toInt(), base));
                reply.delayMs = delayMs;
                return reply;
            });
    }

    // The number the books of list value are counted from (see serveLists).
    static int baseOf(const std::map<QString, int>& totals, const QString& value) {
        return int(std::distance(totals.begin(), totals.find(value))) * 1000;
    }

    // The page numbers asked of path with key=value, in order.
    static QList<int> pagesAsked(const QString& path, const QString& key, const QString& value) {
        QList<int> pages;
        for (const FakeService::Request& r : service->requests(path)) {
            if (r.queryValue(key) == value)
                pages.append(r.queryValue(QStringLiteral("page")).toInt());
        }
        return pages;
    }

    static FakeService* service;
    static Window* window;
    static NavigationController* nav;
};

} // namespace discoverytest
