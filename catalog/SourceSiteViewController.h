#pragma once

#include <QPointer>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include "platform/ui/ViewController.h"

class GetSourceSiteDelegate;
class HttpRequest;
class QTableWidget;
class SourceSiteCell;

// The sites that carry a book, the one the detail screen shows marked; choosing one hands its
// name back to the detail screen. The list is fetched again each time the screen appears.
class SourceSiteViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SourceSiteViewController)

public:
    explicit SourceSiteViewController(QWidget* parent = nullptr);
    ~SourceSiteViewController() override;

    // Set by the detail screen before the push.
    QString book_id;
    QString sourceSite;
    GetSourceSiteDelegate* delegate = nullptr; // not owned

    void action(int tag);
    // Choosing row i: marks it, tells the delegate and goes back to the detail screen.
    void didSelectRow(int row);

    // What tests and the walk look at.
    const QVariantMap& dicSouceSite() const { return dicSouceSite_; }
    const QVariantList& arrSites() const { return arrSites_; }
    QTableWidget* tableView() const { return table_; }
    SourceSiteCell* cellAt(int row) const;
    bool isLoading() const;

Q_SIGNALS:
    // An answer (or a failure) of the list request was handled.
    void sitesLoaded();

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    void requestSites();
    void reloadList();

    QVariantMap dicSouceSite_;
    QVariantList arrSites_;
    QTableWidget* table_ = nullptr;
    QPointer<HttpRequest> asiHttpRequest;
};
