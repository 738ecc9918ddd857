#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QVariantList>

#include "platform/ui/ViewController.h"
#include "widgets/GMGridView.h"

class Button;
class ImageView;
class ReadbooksViewController;
class VersionCheck;

// The bookshelf tab: every book kept on the device as a grid of covers, three to a row, the
// most recently read first. A tap opens the reader where the user stopped; editing mode (the
// right button or a long press) deletes books with everything stored for them. The shelf is
// read again each time it comes into view.
class FirstViewController final : public ViewController,
                                  public GMGridViewDataSource,
                                  public GMGridViewActionDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FirstViewController)

public:
    static constexpr int kItemWidth = 65;
    static constexpr int kItemHeight = 90;
    static constexpr int kRowPitch = 120; // one shelf board per row of books
    static constexpr int kShelfHeight = 111;
    static constexpr int kMinShelves = 4;

    explicit FirstViewController(QWidget* parent = nullptr);
    ~FirstViewController() override;

    // Reads the covers folder and the book list again and rebuilds the grid and its shelves.
    void reloadShelf();

    // Opens the reader on a stored book where reading stopped; ignored while editing. The
    // reader pushed, or null.
    ReadbooksViewController* readBook(const QString& bookId);
    // Toggles between browsing and editing (the right button, a long press).
    void presentOptions();
    // The user button: the member center when signed in, else the login screen.
    void toMyCenter();

    // What the grid asks of the shelf.
    int numberOfItemsInGMGridView(GMGridView* gridView) override;
    QSize sizeForItemsInGMGridView(GMGridView* gridView) override;
    GMGridViewCell* GMGridViewCellForItemAtIndex(GMGridView* gridView, int index) override;
    void GMGridViewDeleteItemAtIndex(GMGridView* gridView, int index) override;
    void GMGridViewDidTapOnItemAtIndex(GMGridView* gridView, int index) override;

    // What tests, the walk and the benchmarks look at.
    const QVariantList& bookArr() const { return bookArr_; }
    const QStringList& dataPics() const { return dataPics_; }
    GMGridView* gridView() const { return gmGridView_; }
    QList<ImageView*> shelfImages() const;
    int rows() const;
    bool isEditing() const;
    Button* mineBtn() const { return mineBtn_; }
    Button* editBtn() const { return editBtn_; }
    Button* confirmBtn() const { return confirmBtn_; }
    VersionCheck* versionCheck() const { return versionCheck_; }

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void onClick(const QString& bookId);
    void longPressGesture();
    void layShelves();
    void setBrowsingButtons();
    void setEditingButtons();
    // The cover file scaled for a cell, decoded once per file stamp.
    QPixmap coverImage(const QString& name);

    QVariantList bookArr_;
    QStringList dataPics_;
    QVariantList shownBooks_;             // what the grid's cells show
    QHash<QString, QString> coverStamps_; // cover file -> modification stamp
    QHash<QString, QPair<QString, QPixmap>> coverCache_;
    GMGridView* gmGridView_ = nullptr;
    QList<QPointer<ImageView>> shelves_;
    Button* mineBtn_ = nullptr;
    Button* editBtn_ = nullptr;
    Button* confirmBtn_ = nullptr;
    VersionCheck* versionCheck_ = nullptr;
    // A long press ends with a release that would also count as a tap on the cover.
    bool swallowNextTap_ = false;
};
