#include "account/MyFavoriteViewController.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "account/EditableRowView.h"

#include "catalog/RecommendCell.h"
#include "platform/Localizable.h"
#include "service/Endpoints.h"

namespace {
ListPager favoritePager() {
    ListPager pager({QStringLiteral("books")}, {QStringLiteral("count")});
    pager.setRefusal(QStringLiteral("没有更多收藏"), true);
    return pager;
}
} // namespace

MyFavoriteViewController::MyFavoriteViewController(QWidget* parent)
    : MyBooksListViewController(favoritePager(), parent) {
    setObjectName(QStringLiteral("MyFavoriteViewController"));
}

MyFavoriteViewController::~MyFavoriteViewController() = default;

void MyFavoriteViewController::viewDidLoad() {
    setTitle(L("My favorite"));
    MyBooksListViewController::viewDidLoad();
}

QString MyFavoriteViewController::listPath() const {
    return QString::fromLatin1(Endpoints::getfavouite);
}

QVariant MyFavoriteViewController::itemFromAnswer(const QVariant& answerItem) const {
    if (answerItem.typeId() != QMetaType::QVariantMap)
        return {};
    return QVariant::fromValue(MyBookList::initWithDictionary(answerItem.toMap()));
}

QString MyFavoriteViewController::removalPath() const {
    return QString::fromLatin1(Endpoints::favouite);
}

QVariantMap MyFavoriteViewController::removalParams(const QVariant& item) const {
    QVariantMap params = MyBooksListViewController::removalParams(item);
    params.insert(QStringLiteral("fav"), QStringLiteral("0"));
    return params;
}

void MyFavoriteViewController::deleteShownChanged(QWidget* cell, bool shown) {
    auto* row = qobject_cast<RecommendCell*>(cell);
    if (!row)
        return;
    // The title makes room for the delete button while it shows, then gets its width back.
    QLabel* title = row->bookNameLabel();
    static const char kFullWidth[] = "fullTitleWidth";
    if (shown) {
        auto* rowView = qobject_cast<EditableRowView*>(row->parentWidget());
        const int room =
            rowView ? rowView->deleteButton()->x() - row->x() - title->x() - 4 : kNarrowTitleWidth;
        title->setProperty(kFullWidth, title->width());
        title->resize(qMax(0, std::min({int(kNarrowTitleWidth), title->width(), room})),
                      title->height());
    } else {
        const QVariant full = title->property(kFullWidth);
        title->resize(full.isValid() ? full.toInt() : kTitleWidth, title->height());
    }
    title->setText(
        title->fontMetrics().elidedText(title->toolTip(), Qt::ElideRight, title->width()));
}
