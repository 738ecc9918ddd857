#pragma once

#include "account/MyBooksListViewController.h"

// The signed-in user's favorite books, page by page: opens a book's detail and removes a
// favorite.
class MyFavoriteViewController final : public MyBooksListViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MyFavoriteViewController)

public:
    static constexpr int kTitleWidth = 280;
    static constexpr int kNarrowTitleWidth = 200;

    explicit MyFavoriteViewController(QWidget* parent = nullptr);
    ~MyFavoriteViewController() override;

    QList<MyBookList> myFavouriteList() const { return books(); }

protected:
    void viewDidLoad() override;
    QString listPath() const override;
    QVariant itemFromAnswer(const QVariant& answerItem) const override;
    QString removalPath() const override;
    QVariantMap removalParams(const QVariant& item) const override;
    void deleteShownChanged(QWidget* cell, bool shown) override;
};
