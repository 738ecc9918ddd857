#include "catalog/SecondViewController.h"

#include "app/tooles.h"
#include "catalog/BookListPanel.h"
#include "catalog/SegmentedBookLists.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "service/Endpoints.h"

SecondViewController::SecondViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("SecondViewController"));
    setTitle(QStringLiteral("书籍推荐"));
}

SecondViewController::~SecondViewController() = default;

SegmentedBookLists* SecondViewController::lists() const {
    return lists_;
}

int SecondViewController::currentIndex() const {
    return lists_ ? lists_->currentIndex() : 0;
}

void SecondViewController::segmentedControlChangedValue(int index) {
    if (lists_)
        lists_->segmentedControlChangedValue(index);
}

void SecondViewController::viewDidLoad() {
    tooles::bgView(true, true, this)->lower();
    if (auto* nav = navigationController())
        nav->setNavigationBarBackgroundImage(QStringLiteral("public_toolBg"));
    notify_ = new NoticeView(this, 20);
    notify_->setObjectName(QStringLiteral("notify"));
    lists_ = new SegmentedBookLists(this, {QStringLiteral("今日推荐"), QStringLiteral("精品推荐")},
                                    QLatin1String(Endpoints::suggest), QStringLiteral("category"),
                                    {QStringLiteral("daily"), QStringLiteral("popular")}, notify_);
    notify_->raise();
    lists_->shownPanel()->startFirstLoad();
}

void SecondViewController::viewWillAppear(bool) {
    if (notify_)
        notify_->hideNotice();
}
