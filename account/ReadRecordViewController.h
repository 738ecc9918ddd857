#pragma once

#include <QPointer>

#include "account/MyBooksListViewController.h"

// The signed-in user's reading records, page by page: opens a book's detail, removes one
// record or clears them all.
class ReadRecordViewController final : public MyBooksListViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReadRecordViewController)

public:
    enum { TagDeleteAll = 3 };

    explicit ReadRecordViewController(QWidget* parent = nullptr);
    ~ReadRecordViewController() override;

    QList<MyBookList> arrListRecords() const { return books(); }
    Button* deleteAllButton() const { return btnDeleteAll; }
    Button* okButton() const { return btnConfirm; }
    HttpRequest* clearAllRequest() const { return asiHttpRequest3; }

    void action(int tag) override;

protected:
    void viewDidLoad() override;
    QString listPath() const override;
    QVariant itemFromAnswer(const QVariant& answerItem) const override;
    QString removalPath() const override;
    void showEditButtons() override;

private:
    void deleteAll();
    void deleteAllAnswered(HttpRequest* request);

    Button* btnDeleteAll = nullptr;
    QPointer<HttpRequest> asiHttpRequest3;
};
