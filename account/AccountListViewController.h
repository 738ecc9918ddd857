#pragma once

#include <QList>
#include <QPointer>
#include <QVariant>
#include <QVariantMap>

#include "engines/HttpRequest.h"
#include "platform/ui/ViewController.h"
#include "service/ListPager.h"
#include "widgets/PullingRefreshTableView.h"

class Button;
class EditableRowView;
class NoticeView;
class QWidget;

// What the signed-in user's lists (reading records, favorites, messages) have in common: a
// pull-to-refresh table paged by ListPager, a back and an edit button, an edit mode in which
// rows can be deleted, and deletions that leave the list at once and are sent to the service.
// A deletion the service does not confirm (a network failure or an answer other than "ok")
// puts the row back where it was and shows the notice "删除失败".
//
// A subclass names its endpoint, its texts and its rows; everything else is here.
class AccountListViewController : public ViewController, public PullingRefreshTableViewDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AccountListViewController)

public:
    enum Tag { TagBack = 0, TagEdit = 1, TagConfirm = 2 };

    ~AccountListViewController() override;

    PullingRefreshTableView* tableView() const { return myTableView; }
    NoticeView* notice() const { return notify; }
    Button* backButton() const { return btnBack; }
    Button* editButton() const { return btnEdit; }
    Button* confirmButton() const { return btnConfirm; }
    const ListPager& pager() const { return pager_; }
    int page() const { return pager_.page(); }

    // The items held, in list order (a MyBookList in a QVariant, or a message dictionary).
    int itemCount() const { return int(items_.size()); }
    QVariant itemAt(int row) const;
    // The row shown for an item (null when out of range).
    EditableRowView* rowView(int row) const;
    QWidget* cellAt(int row) const;

    bool isEditing() const { return editing_; }
    // The text the list last slid in when a load finished (empty when it showed none).
    QString lastMessage() const { return lastMessage_; }
    // How many page loads have ended (answered or failed) for the list shown.
    int loadsEnded() const { return loadsEnded_; }

    // The navigation buttons, by tag.
    virtual void action(int tag);
    // A tap on a row: opens it outside edit mode, nothing in edit mode.
    void didSelectRow(int row);
    // The deletion of a row, as the row's delete button commits it.
    void commitDeleteRow(int row);

    // The list request in flight (or the last one) and the last deletion sent.
    HttpRequest* listRequest() const { return asiHttpRequest; }
    HttpRequest* removalRequest() const { return asiHttpRequest2; }

    void pullingTableViewDidStartRefreshing(PullingRefreshTableView* tableView) override;
    void pullingTableViewDidStartLoading(PullingRefreshTableView* tableView) override;

protected:
    AccountListViewController(ListPager pager, QWidget* parent);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;

    // --- What a subclass says about its list
    virtual QString listPath() const = 0;
    virtual int rowHeight() const = 0;
    // One held item from one item of an answer's page (an invalid QVariant skips it).
    virtual QVariant itemFromAnswer(const QVariant& answerItem) const { return answerItem; }
    // The cell that shows an item at a row.
    virtual QWidget* makeCell(int row, const QVariant& item) = 0;
    // The deletion request of an item: its path and parameters (the token is added here).
    virtual QString removalPath() const = 0;
    virtual QVariantMap removalParams(const QVariant& item) const = 0;
    // Opens a row (a tap outside edit mode).
    virtual void openRow(int row) = 0;
    // The cell's delete button appeared or went (titles narrow meanwhile).
    virtual void deleteShownChanged(QWidget* cell, bool shown) {
        Q_UNUSED(cell);
        Q_UNUSED(shown);
    }
    // The buttons of browse and of edit mode; the defaults put back/edit, and hide the back
    // button and show the confirm button in edit mode.
    virtual void showBrowseButtons();
    virtual void showEditButtons();

    // --- Shared steps
    void resetUI();
    void setEditing(bool on);
    void updateEditButton();
    // Rebuilds every row from the held items.
    void reloadData();
    // Empties the held items and the table.
    void clearItems();
    // Empties the list after the service dropped all of it: paging starts again at page 1
    // and a page on its way is not taken.
    void restartPaging();
    // Replaces the held item of a row (and its cell).
    void replaceItem(int row, const QVariant& item);
    void showNotice(const QString& text, const QString& imageName);
    void popToMemberCenter();
    // A request for the service, owned by this screen, with the user's token added.
    HttpRequest* serviceRequest(const QString& path, QVariantMap params);
    // A book or message identifier as a plain decimal number ("0012" and 12.0 give "12").
    static QString decimalId(const QVariant& id);

    PullingRefreshTableView* myTableView = nullptr;
    Button* btnBack = nullptr;
    Button* btnEdit = nullptr;
    Button* btnConfirm = nullptr;
    NoticeView* notify = nullptr;
    QPointer<HttpRequest> asiHttpRequest;
    QPointer<HttpRequest> asiHttpRequest2;

private:
    struct Entry {
        quint64 order = 0; // position in the list as it arrived, to put a row back in place
        QVariant item;
    };

    void getData();
    void pageArrived(HttpRequest* request, quint64 ticket);
    void pageFailed(quint64 ticket);
    void apply(const ListPager::Outcome& outcome);
    EditableRowView* makeRow(int row, const Entry& entry);
    void insertRow(int row, const Entry& entry);
    void removalAnswered(const Entry& entry, quint64 generation, bool confirmed);

    ListPager pager_;
    QList<Entry> items_;
    quint64 nextOrder_ = 0;
    quint64 generation_ = 0; // counts the times the list was emptied
    bool editing_ = false;
    QString lastMessage_;
    int loadsEnded_ = 0;
    QWidget* background_ = nullptr;
};
