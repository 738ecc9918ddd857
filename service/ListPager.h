#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <optional>

// The paging of one service list (pages of 11 items, `page` counted from 1, the answer's
// `count` the total), shared by every list screen. Pure logic: the screen owns the table,
// the request and the rows; the pager says which page to ask for next and what to do with
// each answer.
//
// How a screen drives it:
//
//   pull-down (and the first load, through launchRefreshing while page() is 0):
//       if (pager.pullDown()) Timing::after(ListPager::kLoadDelayMs, this, [this] { getData(); });
//   pull-up (or a "next page" button):
//       if (pager.pullUp()) Timing::after(ListPager::kLoadDelayMs, this, [this] { getData(); });
//   getData():
//       if (auto next = pager.getData()) {
//           if (next->restart) { empty the rows; reload the table; }
//           send the request for next->page, remembering next->ticket;
//       }
//   on an answer:   apply(pager.answer(ticket, Service::decode(request)))
//   on a failure:   apply(pager.failed(ticket))
//   apply(outcome):
//       if (!outcome.accepted) return;            // a late answer for a superseded request
//       append outcome.items to the rows;
//       if (outcome.finishLoading) table->tableViewDidFinishedLoadingWithMessage(outcome.message);
//       table->setReachedTheEnd(outcome.reachedTheEnd);
//       if (outcome.networkNotice) show the network notice;
//       reload the table;
//
// Only one page request is in flight at a time. A pull-down while one is in flight
// supersedes it: its answer, when it comes, is not accepted, and the delayed getData()
// starts again from page 1. A pull-up while one is in flight asks for nothing more: the
// answer on its way finishes the loading.
//
// A failed request leaves the list open and does not count as loaded: the next pull asks for
// the same page again (the one following the last page that arrived), so no page is skipped.
class ListPager final {
public:
    // Pulls wait this long before the page is asked for.
    static constexpr int kLoadDelayMs = 1000;
    static constexpr int kPageSize = 11;

    // What the screen should ask for next.
    struct Request {
        int page = 0;         // the page number to send, from 1
        quint64 ticket = 0;   // hand back with the answer or failure of this request
        bool restart = false; // a pull-down: empty the rows before sending
        // The query values every list sends: "limit" "11" and "page" as decimal text.
        QVariantMap params() const;
    };

    // What the screen should do after an answer or a failure.
    struct Outcome {
        bool accepted = false;      // false: not the current request; change nothing at all
        bool ok = false;            // the answer's result was "ok"
        bool failed = false;        // the network failed (no answer)
        int page = 0;               // the page this outcome belongs to
        QVariantList items;         // the items to append, in order (only for "ok")
        int count = 0;              // the answer's total (0 when absent, null or not a number)
        int pages = 0;              // ceiling of count / 11
        bool finishLoading = true;  // end the pull state, showing message when it is not empty
        QString message;            // the text that slides in, or empty
        bool reachedTheEnd = false; // the value for the table's reachedTheEnd
        bool networkNotice = false; // show the network notice
        QVariantMap dict;           // the decoded answer, for screen-specific fields
    };

    // Where an answer keeps its items and its total, as paths of field names:
    // {"books"} and {"count"} (the default), or {"msgs", "data"} and {"msgs", "count"}.
    // The total may arrive as a number or as decimal text.
    ListPager(QStringList itemsPath = {QStringLiteral("books")},
              QStringList countPath = {QStringLiteral("count")});

    // The text that ends the list once a page beyond the last was asked for ("没有了").
    void setEndText(const QString& text) { endText_ = text; }
    QString endText() const { return endText_; }
    // What an answer other than "ok" does: the text to show (may be empty) and whether it
    // marks the end. By default it finishes the loading with no text and leaves the list open,
    // so the user may pull again.
    void setRefusal(const QString& text, bool endsList) {
        refusalText_ = text;
        refusalEndsList_ = endsList;
    }
    QString refusalText() const { return refusalText_; }
    bool refusalEndsList() const { return refusalEndsList_; }

    // A pull-down: the next getData() starts again from page 1, and a request in flight is
    // superseded. True when the screen must schedule getData() (none is pending yet).
    bool pullDown();
    // A pull-up (or any "next page" action). True when the screen must schedule getData().
    bool pullUp();

    // The request to send now, or nothing when one is already in flight and no pull-down
    // asked for a restart.
    std::optional<Request> getData();

    // The answer (decoded as Service::decode does: dict and ok) to the request with ticket.
    Outcome answer(quint64 ticket, const QVariantMap& dict, bool ok);
    // The network failure of the request with ticket.
    Outcome failed(quint64 ticket);

    // Back to the state before the first load: page 0, nothing pending or in flight.
    void reset();

    // The last page asked for (0 before the first request).
    int page() const { return page_; }
    bool refreshing() const { return refreshing_; }
    bool isLoading() const { return inFlight_; }
    bool isPending() const { return pending_; }
    bool reachedTheEnd() const { return reachedTheEnd_; }
    // The total of the last "ok" answer.
    int count() const { return count_; }

    // The value at a path of field names in a decoded answer (an invalid QVariant when a
    // step is missing or not an object).
    static QVariant valueAt(const QVariantMap& dict, const QStringList& path);

private:
    QStringList itemsPath_;
    QStringList countPath_;
    QString endText_ = QStringLiteral("没有了");
    QString refusalText_;
    bool refusalEndsList_ = false;

    int page_ = 0;
    int loadedPage_ = 0; // the last page whose answer arrived
    bool refreshing_ = false;
    bool pending_ = false;
    bool inFlight_ = false;
    quint64 ticket_ = 0;
    bool reachedTheEnd_ = false;
    int count_ = 0;
};
