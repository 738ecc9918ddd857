#include "account/MyBooksListViewController.h"

#include "account/EditableRowView.h"
#include "catalog/BookDetailViewController.h"
#include "catalog/RecommendCell.h"

MyBooksListViewController::~MyBooksListViewController() = default;

QList<MyBookList> MyBooksListViewController::books() const {
    QList<MyBookList> list;
    for (int i = 0; i < itemCount(); ++i)
        list << itemAt(i).value<MyBookList>();
    return list;
}

MyBookList MyBooksListViewController::bookAt(int row) const {
    return itemAt(row).value<MyBookList>();
}

RecommendCell* MyBooksListViewController::cell(int row) const {
    return qobject_cast<RecommendCell*>(cellAt(row));
}

int MyBooksListViewController::rowHeight() const {
    return RecommendCell::kRowHeight;
}

QWidget* MyBooksListViewController::makeCell(int row, const QVariant& item) {
    auto* cell = new RecommendCell();
    cell->setBook(item.value<MyBookList>());
    cell->setCoverTag(row);
    connect(cell, &RecommendCell::coverTapped, this, [this, cell](int) {
        // Rows above may have gone since the cover got its tag: find the row it is in now.
        for (int r = 0; r < itemCount(); ++r) {
            if (cellAt(r) == cell) {
                jumpToDetail(r);
                return;
            }
        }
    });
    return cell;
}

QVariantMap MyBooksListViewController::removalParams(const QVariant& item) const {
    return {{QStringLiteral("book_id"), decimalId(item.value<MyBookList>().myId())}};
}

void MyBooksListViewController::openRow(int row) {
    jumpToDetail(row);
}

void MyBooksListViewController::jumpToDetail(int row) {
    if (row < 0 || row >= itemCount())
        return;
    BookDetailViewController::pushFrom(this, bookAt(row));
}
