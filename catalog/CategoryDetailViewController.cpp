#include "catalog/CategoryDetailViewController.h"

#include <QHBoxLayout>

#include "app/tooles.h"
#include "catalog/BookListPanel.h"
#include "catalog/FouthViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "service/Endpoints.h"
#include "service/Service.h"
#include "widgets/ActivityIndicatorView.h"

CategoryDetailViewController::CategoryDetailViewController(QWidget* parent)
    : ViewController(parent) {
    setObjectName(QStringLiteral("CategoryDetailViewController"));
}

CategoryDetailViewController::~CategoryDetailViewController() = default;

BookListPanel* CategoryDetailViewController::list() const {
    return list_;
}

Button* CategoryDetailViewController::btnRefresh() const {
    return btnRefresh_;
}

ActivityIndicatorView* CategoryDetailViewController::activityIndicator() const {
    return activityIndicator_;
}

void CategoryDetailViewController::viewDidLoad() {
    tooles::bgView(true, true, this)->lower();
    btnBack_ = BookListPanel::makeBackButton(this, 1, [this](int tag) { action(tag); });

    // The right bar item: the refresh button, or the spinner while the next page comes.
    auto* right = new QWidget(this);
    right->setObjectName(QStringLiteral("refreshItem"));
    right->resize(40, 32);
    btnRefresh_ = new Button(right);
    btnRefresh_->setObjectName(QStringLiteral("btnRefresh"));
    btnRefresh_->setTag(2);
    btnRefresh_->setImageNamed(QStringLiteral("class_toolBg_Icon_refresh"));
    btnRefresh_->setGeometry(0, 0, 40, 32);
    btnRefresh_->setAction(this, [this](int tag) { action(tag); });
    activityIndicator_ = new ActivityIndicatorView(right);
    activityIndicator_->setObjectName(QStringLiteral("activityIndicator"));
    activityIndicator_->setColor(Qt::white);
    activityIndicator_->setGeometry(10, 6, 20, 20);
    activityIndicator_->hide();
    setRightBarButton(right);

    notify_ = new NoticeView(this, 20);
    notify_->setObjectName(QStringLiteral("notify"));

    const QRect bounds = Window::screenBounds();
    const int viewHeight = bounds.height() - 20 - 44 - 49;
    list_ = new BookListPanel(this, QRect(6, 8, bounds.width() - 12, viewHeight - 16),
                              QLatin1String(Endpoints::booklist));
    list_->pager().setRefusal(QStringLiteral("您所请求的分类下没有相关书籍"), true);
    list_->setParams([this] {
        QVariantMap params{{QStringLiteral("category"), QString::number(cateid)}};
        Service::addToken(params); // only while a user is signed in
        return params;
    });
    list_->setNotice(notify_);
    list_->setOnOutcome([this](const ListPager::Outcome&) {
        if (activityIndicator_)
            activityIndicator_->stopAnimating();
        if (btnRefresh_)
            btnRefresh_->show();
    });
    notify_->raise();
    list_->startFirstLoad();
}

void CategoryDetailViewController::viewWillAppear(bool) {
    if (notify_)
        notify_->hideNotice();
}

void CategoryDetailViewController::action(int tag) {
    switch (tag) {
    case 1:
        if (auto* nav = navigationController()) {
            if (!nav->popToFirstOfClass<FouthViewController>(true))
                nav->popViewController(true);
        }
        return;
    case 2:
        if (!list_)
            return;
        activityIndicator_->show();
        activityIndicator_->startAnimating();
        btnRefresh_->hide();
        // Not a pull-down: the next page is appended to what is shown.
        list_->loadNextPage(kRefreshDelayMs);
        return;
    default:
        return;
    }
}
