#pragma once

#include <QPoint>
#include <QPointer>
#include <QStringList>

#include "platform/ui/ViewController.h"

class Button;
class NoticeView;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The search tab: the search field and the earlier searches, newest first. A search, or an
// earlier one chosen from the list, is recorded in the history and opens its results. An
// entry is deleted by swiping it to the left; the last row clears the whole history.
class FifthViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FifthViewController)

public:
    static constexpr int kKeyboardHeight = 216;
    static constexpr int kRowHeight = 44;

    explicit FifthViewController(QWidget* parent = nullptr);
    ~FifthViewController() override;

    // The history shown, newest first.
    QStringList searchResultList;

    QLineEdit* searchBar() const;
    Button* cancelButton() const;
    QTableWidget* tableView() const;
    QLabel* noSearchRecordsView() const;
    NoticeView* notice() const;
    bool isClearing() const { return clearing_; }

    // The keyboard's search key with text in the field: trimmed, recorded and searched;
    // blanks do nothing.
    void searchBarSearchButtonClicked();
    // Editing begins / is cancelled: the cancel button and the list's height follow.
    void searchBarTextDidBeginEditing();
    void searchBarCancelButtonClicked();
    // A tap on a row: an entry searches again; the last row clears the history.
    void didSelectRow(int row);
    // Swipe-to-delete's commit on an entry row.
    void commitDeleteRow(int row);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openResults(const QString& keyword);
    void clearHistory();
    void reloadTable();
    void showHistoryOrHint();
    void setListShortened(bool shortened);
    void offerDelete(int row);
    void showNotice(const QString& text, const QString& imageName);

    QPointer<QLineEdit> searchBar_;
    QPointer<Button> cancel_;
    QPointer<QTableWidget> tableView_;
    QPointer<QLabel> noSearchRecordsView_;
    QPointer<QPushButton> delete_;
    QPointer<NoticeView> notify_;
    int listHeight_ = 0;
    int deleteRow_ = -1;
    QPoint pressAt_;
    bool clearing_ = false;
};
