#pragma once

#include <QList>
#include <QPointer>
#include <QVariantList>

#include "platform/ui/ViewController.h"

class Button;
class HttpRequest;
class NoticeView;
class QScrollArea;

// The categories tab: the service's book categories as a grid of buttons, four to a row.
// The list is fetched once, when the local copy is empty, and kept in the book database;
// from then on it is read from there. A category opens the list of its books.
class FouthViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FouthViewController)

public:
    static constexpr int kRowHeight = 67;
    static constexpr int kPerRow = 4;

    explicit FouthViewController(QWidget* parent = nullptr);
    ~FouthViewController() override;

    // The categories shown ({id, name}), by id as a number.
    QVariantList categoryArr;

    // The grid: one button per category, in order; row r holds buttons 4r to 4r + 3.
    QList<Button*> categoryButtons() const { return buttons_; }
    int gridRowCount() const;
    QScrollArea* grid() const;
    bool isLoading() const;

    // A category button's tap: the books of the category with that id.
    void onClick(int tag);

    // The categories of an answer, ordered by id as a number (ids arrive as numbers or text).
    static QVariantList sortedCategories(const QVariantList& categories);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    void requestCategories();
    void reloadGrid();

    QPointer<QScrollArea> grid_;
    QList<Button*> buttons_;
    QPointer<HttpRequest> asiRequest_;
    QPointer<NoticeView> notify_;
};
