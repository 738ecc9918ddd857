#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QVariantMap>
#include <functional>

#include "catalog/RecommendCell.h"
#include "service/ListPager.h"
#include "storage/MyBookList.h"
#include "widgets/PullingRefreshTableView.h"

class Button;
class HttpRequest;
class NoticeView;
class ViewController;

// One paged list of books of the service on a screen: its pull-to-refresh table of book rows,
// its pager, its request and the books loaded so far. The screen gives the endpoint, the
// parameters of every request and the texts; the panel pages, appends, ends the list and opens
// a book's detail screen when its row or cover is tapped.
class BookListPanel final : public QObject, public PullingRefreshTableViewDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BookListPanel)

public:
    // screen: the screen the table lives on and detail screens are pushed from.
    BookListPanel(ViewController* screen, const QRect& frame, const QString& endpoint,
                  RecommendCell::ThirdLine thirdLine = RecommendCell::ThirdLine::Category);
    ~BookListPanel() override;

    // The values sent with every page besides limit and page (asked anew for each request).
    void setParams(std::function<QVariantMap()> params) { params_ = std::move(params); }
    // Where network failures are shown.
    void setNotice(NoticeView* notice);
    // Runs after every accepted answer or failure has been applied to the list. It may destroy
    // the screen: the panel touches nothing after calling it.
    void setOnOutcome(std::function<void(const ListPager::Outcome&)> fn) {
        onOutcome_ = std::move(fn);
    }
    // Runs when a request is sent, with its page.
    void setOnRequest(std::function<void(int page)> fn) { onRequest_ = std::move(fn); }

    ListPager& pager() { return pager_; }
    const ListPager& pager() const { return pager_; }
    PullingRefreshTableView* table() const { return table_; }
    const QList<MyBookList>& books() const { return books_; }
    RecommendCell* cellAt(int row) const;

    // The first load, when nothing was asked yet: a pull-down started by the list itself.
    void startFirstLoad();
    // The next page without a pull (a "next page" button), after delayMs.
    void loadNextPage(int delayMs);
    // Sends the request the pager asks for now (what the delayed load runs).
    void getData();

    // Appends one row per book object of a list answer, in order.
    void appendRows(const QVariantList& items);

    // Opens the detail screen of the book in row.
    void openBook(int row);

    // The list screens' back button (public_toolBg_Button_back with "back"), as the screen's
    // left bar button; clicks call action(tag).
    static Button* makeBackButton(ViewController* screen, int tag, std::function<void(int)> action);

    void pullingTableViewDidStartRefreshing(PullingRefreshTableView* tableView) override;
    void pullingTableViewDidStartLoading(PullingRefreshTableView* tableView) override;

private:
    void apply(const ListPager::Outcome& outcome);
    void clearRows();

    QPointer<ViewController> screen_;
    QString endpoint_;
    RecommendCell::ThirdLine thirdLine_;
    std::function<QVariantMap()> params_;
    std::function<void(const ListPager::Outcome&)> onOutcome_;
    std::function<void(int)> onRequest_;
    QPointer<NoticeView> notice_;
    ListPager pager_;
    QPointer<PullingRefreshTableView> table_;
    QList<MyBookList> books_;
    QPointer<HttpRequest> asiHttpRequest_;
};
