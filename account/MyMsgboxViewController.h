#pragma once

#include <QPointer>
#include <QVariantMap>

#include "account/AccountListViewController.h"

class MyMsgBoxCell;

// The signed-in user's message box: notices from the service, page by page, unread ones
// marked with a dot. Opening a message shows it whole and marks it read on the service.
class MyMsgboxViewController final : public AccountListViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MyMsgboxViewController)

public:
    explicit MyMsgboxViewController(QWidget* parent = nullptr);
    ~MyMsgboxViewController() override;

    // The messages held, as the service sent them (status "1" once opened here).
    QVariantList myMsgList() const;
    MyMsgBoxCell* cell(int row) const;
    // The last mark-read request sent.
    HttpRequest* readRequest() const { return asiHttpRequest3; }

protected:
    void viewDidLoad() override;
    QString listPath() const override;
    int rowHeight() const override;
    QVariant itemFromAnswer(const QVariant& answerItem) const override;
    QWidget* makeCell(int row, const QVariant& item) override;
    QString removalPath() const override;
    QVariantMap removalParams(const QVariant& item) const override;
    void openRow(int row) override;
    void deleteShownChanged(QWidget* cell, bool shown) override;

private:
    QPointer<HttpRequest> asiHttpRequest3;
};
