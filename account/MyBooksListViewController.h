#pragma once

#include <QList>

#include "account/AccountListViewController.h"
#include "storage/MyBookList.h"

class RecommendCell;

// What the reading records and the favorites share: book rows whose tap (outside edit mode)
// or cover tap (at any time) opens the book's detail, and removal by the book's id.
class MyBooksListViewController : public AccountListViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MyBooksListViewController)

public:
    ~MyBooksListViewController() override;

    QList<MyBookList> books() const;
    MyBookList bookAt(int row) const;
    RecommendCell* cell(int row) const;
    // A tap on a row's cover: opens the book in or out of edit mode.
    void jumpToDetail(int row);

protected:
    using AccountListViewController::AccountListViewController;

    int rowHeight() const override;
    QWidget* makeCell(int row, const QVariant& item) override;
    QVariantMap removalParams(const QVariant& item) const override;
    void openRow(int row) override;
};
