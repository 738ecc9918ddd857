#include "catalog/FouthViewController.h"

#include <QDebug>
#include <QLabel>
#include <QScrollArea>
#include <algorithm>

#include "app/tooles.h"
#include "catalog/CategoryDetailViewController.h"
#include "engines/HttpRequest.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "service/Service.h"
#include "storage/BookDb.h"

FouthViewController::FouthViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("FouthViewController"));
    setTitle(QStringLiteral("小说分类"));
}

FouthViewController::~FouthViewController() {
    if (asiRequest_)
        asiRequest_->clearDelegatesAndCancel();
}

QScrollArea* FouthViewController::grid() const {
    return grid_;
}

bool FouthViewController::isLoading() const {
    return asiRequest_ != nullptr;
}

int FouthViewController::gridRowCount() const {
    return int((categoryArr.size() + kPerRow - 1) / kPerRow);
}

QVariantList FouthViewController::sortedCategories(const QVariantList& categories) {
    QVariantList sorted;
    for (const QVariant& c : categories) {
        if (c.typeId() == QMetaType::QVariantMap)
            sorted.append(c);
        else
            qWarning() << "Categories: an entry that is not an object is left out";
    }
    const auto idOf = [](const QVariant& c) {
        return Service::textOf(c.toMap().value(QStringLiteral("id"))).toLongLong();
    };
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const QVariant& a, const QVariant& b) { return idOf(a) < idOf(b); });
    return sorted;
}

void FouthViewController::viewDidLoad() {
    tooles::bgView(true, true, this)->lower();
    if (auto* nav = navigationController())
        nav->setNavigationBarBackgroundImage(QStringLiteral("public_toolBg"));
    categoryArr = sortedCategories(BookDb().selectCategory());

    const QRect bounds = Window::screenBounds();
    const int viewHeight = bounds.height() - 20 - 44 - 49;
    // Rows that do not fit the screen scroll (many categories, the short screen).
    grid_ = tooles::fingerScrollArea(this, QStringLiteral("categoryGrid"));
    grid_->setGeometry(0, 6, bounds.width(), viewHeight - 14);

    notify_ = new NoticeView(this, 20);
    notify_->setObjectName(QStringLiteral("notify"));
    reloadGrid();
}

void FouthViewController::viewWillAppear(bool) {
    if (categoryArr.isEmpty() && !asiRequest_)
        requestCategories();
    if (notify_)
        notify_->hideNotice();
}

void FouthViewController::requestCategories() {
    tooles::showHUD(QStringLiteral("正在获取分类"), this);
    HttpRequest* request = Service::request(Service::categorylistUrl(), this);
    asiRequest_ = request;
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        asiRequest_ = nullptr;
        tooles::removeHUD();
        const Service::Answer answer = Service::decode(r);
        if (!answer.ok) {
            qInfo().noquote() << "Categories refused:" << answer.msg;
            return;
        }
        const QVariant list = answer.dict.value(QStringLiteral("category"));
        if (list.typeId() != QMetaType::QVariantList) {
            qWarning() << "Categories: the answer holds no category list";
            return;
        }
        categoryArr = sortedCategories(list.toList());
        reloadGrid();
        if (!categoryArr.isEmpty())
            BookDb().insertCategory(categoryArr);
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        asiRequest_ = nullptr;
        tooles::removeHUD();
        if (notify_)
            notify_->showNetworkNotice();
    });
    request->startAsynchronous();
}

void FouthViewController::reloadGrid() {
    if (!grid_)
        return;
    const int w = Window::screenBounds().width();
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("categoryGridContent"));
    content->setAttribute(Qt::WA_TranslucentBackground);
    content->resize(w, gridRowCount() * kRowHeight + 12);
    buttons_.clear();
    // Buttons (W - 80) / 4 wide, (W - 40) / 4 + 5 apart, the row centred on the screen.
    const int buttonWidth = (w - 80) / 4;
    const int step = (w - 40) / 4 + 5;
    const int left = (w - (3 * step + buttonWidth)) / 2;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    for (int i = 0; i < categoryArr.size(); ++i) {
        const QVariantMap category = categoryArr.at(i).toMap();
        const int row = i / kPerRow;
        const int k = i % kPerRow;
        auto* button = new Button(content);
        button->setObjectName(QStringLiteral("categoryButton"));
        button->setBackgroundImageNamed(QStringLiteral("class_textbg"),
                                        QStringLiteral("class_textbg_hover"), QMargins(6, 6, 6, 6));
        button->setGeometry(left + k * step, row * kRowHeight + 12, buttonWidth, 56);
        button->setTag(Service::textOf(category.value(QStringLiteral("id"))).toInt());
        button->setAction(this, [this](int tag) { onClick(tag); });
        auto* name = new QLabel(button);
        name->setObjectName(QStringLiteral("categoryName"));
        name->setFont(font);
        name->setTextFormat(Qt::PlainText);
        name->setWordWrap(true);
        name->setAlignment(Qt::AlignCenter);
        name->setStyleSheet(QStringLiteral("color: rgb(92, 60, 34); background: transparent;"));
        name->setAttribute(Qt::WA_TransparentForMouseEvents);
        name->setText(Service::textOf(category.value(QStringLiteral("name"))));
        name->setGeometry((buttonWidth - 40) / 2, 8, 40, 40);
        buttons_.append(button);
    }
    // The old grid goes with the widget it is replaced by.
    delete grid_->takeWidget();
    grid_->setWidget(content);
}

void FouthViewController::onClick(int tag) {
    QString name;
    for (const QVariant& c : categoryArr) {
        const QVariantMap category = c.toMap();
        if (Service::textOf(category.value(QStringLiteral("id"))).toInt() == tag) {
            name = Service::textOf(category.value(QStringLiteral("name")));
            break;
        }
    }
    auto* nav = navigationController();
    if (!nav)
        return;
    auto* detail = new CategoryDetailViewController();
    detail->setTitle(name);
    detail->cateid = tag;
    nav->pushViewController(detail, true);
}
