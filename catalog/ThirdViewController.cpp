#include "catalog/ThirdViewController.h"

#include "app/tooles.h"
#include "catalog/BookListPanel.h"
#include "catalog/SegmentedBookLists.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "service/Endpoints.h"

ThirdViewController::ThirdViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("ThirdViewController"));
    setTitle(QStringLiteral("书籍排行"));
}

ThirdViewController::~ThirdViewController() = default;

SegmentedBookLists* ThirdViewController::lists() const {
    return lists_;
}

int ThirdViewController::currentIndex() const {
    return lists_ ? lists_->currentIndex() : 0;
}

void ThirdViewController::segmentedControlChangedValue(int index) {
    if (lists_)
        lists_->segmentedControlChangedValue(index);
}

void ThirdViewController::viewDidLoad() {
    tooles::bgView(true, true, this)->lower();
    if (auto* nav = navigationController())
        nav->setNavigationBarBackgroundImage(QStringLiteral("public_toolBg"));
    notify_ = new NoticeView(this, 20);
    notify_->setObjectName(QStringLiteral("notify"));
    lists_ = new SegmentedBookLists(this, {QStringLiteral("点击排行"), QStringLiteral("收藏排行")},
                                    QLatin1String(Endpoints::booklist), QStringLiteral("order"),
                                    {QStringLiteral("read"), QStringLiteral("favouite")}, notify_);
    notify_->raise();
    lists_->shownPanel()->startFirstLoad();
}

void ThirdViewController::viewWillAppear(bool) {
    if (notify_)
        notify_->hideNotice();
}
