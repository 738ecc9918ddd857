#include "catalog/SourceSiteViewController.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

#include "app/tooles.h"
#include "catalog/GetSourceSiteDelegate.h"
#include "catalog/SourceSiteCell.h"
#include "engines/HttpRequest.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "service/Service.h"

SourceSiteViewController::SourceSiteViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("SourceSiteViewController"));
    setTitle(QStringLiteral("来源站点"));
    setHidesBottomBarWhenPushed(true);
}

SourceSiteViewController::~SourceSiteViewController() {
    if (asiHttpRequest) {
        asiHttpRequest->clearDelegatesAndCancel();
        tooles::removeHUD();
    }
}

void SourceSiteViewController::viewDidLoad() {
    tooles::bgView(true, false, this)->lower();

    Button* back = tooles::barButton(this, QString(), QStringLiteral("public_toolBg_Button_back"),
                                     L("back"), 0, [this](int tag) { action(tag); });
    back->hide();
    setLeftBarButton(back);
    setHidesBackButton(true);

    const QRect screen = Window::screenBounds();
    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("sourceSiteTable"));
    table_->setGeometry(9, 8, screen.width() - 18,
                        screen.height() - Window::kStatusBarHeight -
                            NavigationController::kBarHeight - 24);
    table_->setColumnCount(1);
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setShowGrid(false);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Rows are separated by a line; nothing is drawn below the last one.
    table_->setStyleSheet(QStringLiteral(
        "QTableWidget { background: transparent; border: none; }"
        "QTableWidget::item { border-bottom: 1px solid rgb(222, 212, 192); padding: 0; }"));
    table_->viewport()->setAutoFillBackground(false);
    GestureRecognizer::scrollLikeAFinger(table_);
    connect(table_, &QTableWidget::cellClicked, this, [this](int row, int) { didSelectRow(row); });
    arrSites_.clear();
}

void SourceSiteViewController::viewWillAppear(bool animated) {
    if (NavigationController* nav = navigationController()) {
        // The reader leaves the bar translucent; this screen lies below it.
        nav->setNavigationBarTranslucent(false);
        nav->setNavigationBarHidden(false, animated);
        nav->setToolbarHidden(true, animated);
        nav->setNavigationBarBackgroundImage(QStringLiteral("public_toolBg"));
    }
    requestSites();
}

void SourceSiteViewController::requestSites() {
    // Only the newest request's answer fills the list.
    if (asiHttpRequest) {
        asiHttpRequest->clearDelegatesAndCancel();
        asiHttpRequest->deleteLater();
    }
    tooles::showHUD(QStringLiteral("加载中..."));
    HttpRequest* request = Service::request(Service::sitesNameUrl(book_id), this);
    asiHttpRequest = request;
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        asiHttpRequest = nullptr;
        tooles::removeHUD();
        const Service::Answer answer = Service::decode(r);
        if (answer.ok) {
            dicSouceSite_ = answer.dict;
            arrSites_ = answer.dict.value(QStringLiteral("source_site_names")).toList();
            reloadList();
        }
        Q_EMIT sitesLoaded();
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        asiHttpRequest = nullptr;
        tooles::removeHUD();
        Q_EMIT sitesLoaded();
    });
    request->startAsynchronous();
}

void SourceSiteViewController::reloadList() {
    const QString title = Service::textOf(dicSouceSite_.value(QStringLiteral("book_title")));
    const QString author = Service::textOf(dicSouceSite_.value(QStringLiteral("author")));
    table_->clearContents();
    table_->setRowCount(int(arrSites_.size()));
    for (int i = 0; i < arrSites_.size(); ++i) {
        const QString site =
            Service::textOf(arrSites_.at(i).toMap().value(QStringLiteral("source_site_name")));
        auto* cell = new SourceSiteCell;
        cell->labelTitle()->setText(QStringLiteral("%1【%2】").arg(title, site));
        cell->labelAuthor()->setText(QStringLiteral("作者: %1").arg(author));
        cell->setSelectedSite(!site.isNull() && site == sourceSite);
        table_->setRowHeight(i, SourceSiteCell::kHeight);
        table_->setCellWidget(i, 0, cell);
    }
}

bool SourceSiteViewController::isLoading() const {
    return !asiHttpRequest.isNull();
}

SourceSiteCell* SourceSiteViewController::cellAt(int row) const {
    return table_ ? qobject_cast<SourceSiteCell*>(table_->cellWidget(row, 0)) : nullptr;
}

void SourceSiteViewController::didSelectRow(int row) {
    if (row < 0 || row >= arrSites_.size())
        return;
    const QString site =
        Service::textOf(arrSites_.at(row).toMap().value(QStringLiteral("source_site_name")));
    for (int i = 0; i < arrSites_.size(); ++i) {
        if (SourceSiteCell* cell = cellAt(i))
            cell->setSelectedSite(i == row);
    }
    sourceSite = site;
    QPointer<SourceSiteViewController> self(this);
    if (delegate)
        delegate->GetSourceSite(site);
    if (self)
        action(0);
}

void SourceSiteViewController::action(int tag) {
    if (tag != 0)
        return;
    NavigationController* nav = navigationController();
    if (!nav)
        return;
    // Back to the detail screen that opened this list: the nearest one below it.
    const QList<ViewController*> stack = nav->viewControllers();
    for (qsizetype i = stack.indexOf(this) - 1; i >= 0; --i) {
        if (qstrcmp(stack.at(i)->metaObject()->className(), "BookDetailViewController") == 0) {
            nav->popToViewController(stack.at(i), true);
            return;
        }
    }
    nav->popViewController(true);
}
