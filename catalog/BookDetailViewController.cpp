#include "catalog/BookDetailViewController.h"

#include "platform/ui/NavigationController.h"

BookDetailViewController::BookDetailViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("BookDetailViewController"));
    setHidesBottomBarWhenPushed(true);
}

BookDetailViewController::~BookDetailViewController() = default;

BookDetailViewController* BookDetailViewController::pushFrom(ViewController* from,
                                                             const MyBookList& book) {
    auto* nav = from ? from->navigationController() : nullptr;
    if (!nav)
        return nullptr;
    auto* detail = new BookDetailViewController();
    detail->setBookInfo(book);
    nav->pushViewController(detail, true);
    return detail;
}
