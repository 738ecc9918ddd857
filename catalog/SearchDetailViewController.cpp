#include "catalog/SearchDetailViewController.h"

#include <QLabel>

#include "app/tooles.h"
#include "catalog/BookListPanel.h"
#include "catalog/FifthViewController.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "service/Endpoints.h"

namespace {
constexpr int kLabelHeight = 26;
}

SearchDetailViewController::SearchDetailViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("SearchDetailViewController"));
    setTitle(L("Looking for books"));
}

SearchDetailViewController::~SearchDetailViewController() = default;

BookListPanel* SearchDetailViewController::list() const {
    return list_;
}

QLabel* SearchDetailViewController::labelSearchCount() const {
    return labelSearchCount_;
}

QString SearchDetailViewController::countText(int n) {
    const QString format = L("Search to N records");
    // A table without the entry shows the key, which has no place for the number.
    return format.contains(QLatin1String("%1")) ? format.arg(n)
                                                : format + QLatin1Char(' ') + QString::number(n);
}

void SearchDetailViewController::viewDidLoad() {
    tooles::bgView(true, true, this)->lower();
    btnBack_ = BookListPanel::makeBackButton(this, 0, [this](int tag) { action(tag); });
    notify_ = new NoticeView(this, 20);
    notify_->setObjectName(QStringLiteral("notify"));

    const QRect bounds = Window::screenBounds();
    const int viewHeight = bounds.height() - 20 - 44 - 49;
    labelSearchCount_ = new QLabel(this);
    labelSearchCount_->setObjectName(QStringLiteral("labelSearchCount"));
    labelSearchCount_->setGeometry(16, 8, bounds.width() - 32, kLabelHeight);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    labelSearchCount_->setFont(font);
    labelSearchCount_->setStyleSheet(QStringLiteral("color: rgb(128, 100, 70);"));
    labelSearchCount_->setText(L("In the search"));

    const int top = 8 + kLabelHeight + 4;
    list_ =
        new BookListPanel(this, QRect(6, top, bounds.width() - 12, viewHeight - top - 8),
                          QLatin1String(Endpoints::booklist), RecommendCell::ThirdLine::SourceSite);
    list_->pager().setRefusal(QStringLiteral("没有了"), true);
    list_->setParams([this] { return QVariantMap{{QStringLiteral("keyword"), searchStr}}; });
    list_->setNotice(notify_);
    list_->setOnRequest([this](int page) {
        if (page == 1 && labelSearchCount_)
            labelSearchCount_->setText(L("In the search"));
    });
    list_->setOnOutcome([this](const ListPager::Outcome& outcome) {
        if (outcome.ok)
            searchCount = outcome.count;
        else if (outcome.page < 2)
            searchCount = 0; // a later page keeps the total of the earlier answers
        if (labelSearchCount_)
            labelSearchCount_->setText(countText(searchCount));
    });
    notify_->raise();
    list_->startFirstLoad();
}

void SearchDetailViewController::viewWillAppear(bool) {
    if (notify_)
        notify_->hideNotice();
}

void SearchDetailViewController::action(int tag) {
    if (tag != 0)
        return;
    if (auto* nav = navigationController()) {
        if (!nav->popToFirstOfClass<FifthViewController>(true))
            nav->popViewController(true);
    }
}
