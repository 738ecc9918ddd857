#include "catalog/FirstViewController.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QScrollArea>

#include "account/LoginViewController.h"
#include "account/MyInfoViewController.h"
#include "app/VersionCheck.h"
#include "app/tooles.h"
#include "catalog/BookKeeper.h"
#include "catalog/CoverFiles.h"
#include "catalog/KeepProgressBar.h"
#include "catalog/ShelfBookFace.h"
#include "engines/HttpRequest.h"
#include "platform/Images.h"
#include "platform/Localizable.h"
#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "reader/BookChapterAndMarkViewController.h"
#include "reader/ReadbooksViewController.h"
#include "storage/BookDb.h"
#include "storage/UserStore.h"
#include "widgets/GMGridViewCell.h"

namespace {

constexpr int kGridTop = 10;
constexpr int kSpacing = 30;
constexpr int kStripHeight = 22;
// The board's top face in books_shelf, where the covers stand.
constexpr int kBoardLine = 91;

int topInset() {
    // The tall screen has room for a wider margin above the first row.
    return Window::screenHeight() >= Window::kTallHeight ? 60 : 15;
}

} // namespace

FirstViewController::FirstViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("FirstViewController"));
    setTitle(L("My bookshelf"));
}

FirstViewController::~FirstViewController() {
    // The grid calls back into this screen while it is torn down with it.
    if (gmGridView_) {
        gmGridView_->setDataSource(nullptr);
        gmGridView_->setActionDelegate(nullptr);
    }
}

void FirstViewController::viewDidLoad() {
    tooles::bgView(true, true, this)->lower();
    HttpRequest::setShouldUpdateNetworkActivityIndicator(false);

    gmGridView_ = new GMGridView(this);
    gmGridView_->setItemSpacing(kSpacing);
    gmGridView_->setMinEdgeInsets(QMargins(10, topInset(), 10, 30));
    gmGridView_->setDataSource(this);
    gmGridView_->setActionDelegate(this);
    // The shelf's paper shows between the books.
    gmGridView_->contentView()->setAutoFillBackground(false);
    const QRect screen = Window::screenBounds();
    gmGridView_->setGeometry(0, kGridTop, screen.width(),
                             screen.height() - Window::kStatusBarHeight -
                                 NavigationController::kBarHeight - 49 - kGridTop);

    mineBtn_ = new Button(this);
    mineBtn_->setObjectName(QStringLiteral("mineBtn"));
    mineBtn_->setImageNamed(QStringLiteral("books_toolBg_Icon_user"));
    mineBtn_->resize(27, 22);
    mineBtn_->setAction(this, [this](int) { toMyCenter(); });

    editBtn_ = tooles::createButtonWithTitle(
        L("edit"), Qt::white, 14, this, [this](int) { presentOptions(); }, QRect(0, 0, 44, 32),
        QStringLiteral("public_toolBg_Button"), QString(), 0, this);
    editBtn_->setObjectName(QStringLiteral("editBtn"));

    confirmBtn_ = new Button(this);
    confirmBtn_->setObjectName(QStringLiteral("confirmBtn"));
    confirmBtn_->setImageNamed(QStringLiteral("public_toolBg_Icon_confirm"));
    confirmBtn_->resize(26, 19);
    confirmBtn_->setAction(this, [this](int) { presentOptions(); });
    for (QWidget* item : {static_cast<QWidget*>(mineBtn_), static_cast<QWidget*>(editBtn_),
                          static_cast<QWidget*>(confirmBtn_)})
        item->hide();

    setBrowsingButtons();
    versionCheck_ = new VersionCheck(VersionCheck::Form::Bookshelf, this);
    // Starts the keeper too, so books being kept whole go on where they stopped.
    KeepProgressBar::follow(gmGridView_);
}

void FirstViewController::resizeEvent(QResizeEvent* event) {
    ViewController::resizeEvent(event);
    if (gmGridView_ && height() > kGridTop)
        gmGridView_->setGeometry(0, kGridTop, width(), height() - kGridTop);
}

void FirstViewController::viewWillAppear(bool animated) {
    reloadShelf();
    if (NavigationController* nav = navigationController()) {
        // The reader leaves the bar translucent; this screen lies below it.
        nav->setNavigationBarTranslucent(false);
        nav->setNavigationBarHidden(false, animated);
        nav->setToolbarHidden(true, animated);
        nav->setNavigationBarBackgroundImage(QStringLiteral("public_toolBg"));
    }
    // The check itself does nothing while the user asked not to be reminded.
    versionCheck_->start();
}

void FirstViewController::reloadShelf() {
    loadViewIfNeeded();
    dataPics_.clear();
    bookArr_.clear();
    // A file's stamp tells a cover written anew under the same name from the one shown.
    QHash<QString, QString> stamps;
    const QFileInfoList entries =
        QDir(CoverFiles::directory())
            .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name == QLatin1String(".DS_Store"))
            continue;
        dataPics_.append(name);
        stamps.insert(name, QStringLiteral("%1/%2")
                                .arg(entry.lastModified().toMSecsSinceEpoch())
                                .arg(entry.size()));
    }
    bookArr_ = BookDb().selectAllBooks();
    layShelves();
    // The same books with the same covers look the same: the cells already shown stay.
    if (gmGridView_->numberOfItems() == bookArr_.size() && bookArr_ == shownBooks_ &&
        stamps == coverStamps_)
        return;
    for (auto it = coverCache_.begin(); it != coverCache_.end();) {
        if (stamps.value(it.key()) != it->first)
            it = coverCache_.erase(it);
        else
            ++it;
    }
    shownBooks_ = bookArr_;
    coverStamps_ = stamps;
    gmGridView_->reloadData();
}

QPixmap FirstViewController::coverImage(const QString& name) {
    if (name.isEmpty() || !coverStamps_.contains(name))
        return {};
    const QString stamp = coverStamps_.value(name);
    const auto cached = coverCache_.constFind(name);
    if (cached != coverCache_.cend() && cached->first == stamp)
        return cached->second;
    QPixmap image(CoverFiles::directory() + QLatin1Char('/') + name);
    if (!image.isNull())
        image = image.scaled(QSize(kItemWidth, kItemHeight) * devicePixelRatioF(),
                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    coverCache_.insert(name, {stamp, image});
    return image;
}

int FirstViewController::rows() const {
    return (int(bookArr_.size()) + 2) / 3;
}

void FirstViewController::layShelves() {
    // One board under each row of books; four at least, so that an empty shelf looks like one.
    const int wanted = qMax(kMinShelves, rows());
    QWidget* content = gmGridView_->contentView();
    while (shelves_.size() < wanted) {
        auto* board = new ImageView(content);
        board->setObjectName(QStringLiteral("shelfImage"));
        board->setImageNamed(QStringLiteral("books_shelf"));
        board->setAttribute(Qt::WA_TransparentForMouseEvents);
        board->lower();
        board->show();
        shelves_.append(board);
    }
    while (shelves_.size() > wanted) {
        delete shelves_.takeLast().data();
    }
    const int first = topInset() + kItemHeight - kBoardLine;
    for (int i = 0; i < shelves_.size(); ++i)
        shelves_.at(i)->setGeometry(0, first + i * kRowPitch, Window::screenBounds().width(),
                                    kShelfHeight);
}

QList<ImageView*> FirstViewController::shelfImages() const {
    QList<ImageView*> list;
    for (const QPointer<ImageView>& board : shelves_) {
        if (board)
            list.append(board.data());
    }
    return list;
}

bool FirstViewController::isEditing() const {
    return gmGridView_ && gmGridView_->isEditing();
}

int FirstViewController::numberOfItemsInGMGridView(GMGridView*) {
    return int(bookArr_.size());
}

QSize FirstViewController::sizeForItemsInGMGridView(GMGridView*) {
    return {kItemWidth, kItemHeight};
}

GMGridViewCell* FirstViewController::GMGridViewCellForItemAtIndex(GMGridView*, int index) {
    auto* cell = new GMGridViewCell();
    if (index < 0 || index >= bookArr_.size())
        return cell;
    const QVariantMap book = bookArr_.at(index).toMap();
    const QString bookId = book.value(QStringLiteral("book_id")).toString();
    const QString title = book.value(QStringLiteral("title")).toString();
    const QString cover = book.value(QStringLiteral("cover")).toString();
    QWidget* content = cell->contentView();
    cell->resize(kItemWidth, kItemHeight);

    const QPixmap image = dataPics_.contains(cover) ? coverImage(cover) : QPixmap();
    auto* face = new ShelfBookFace(title, image, content);
    face->setGeometry(0, 0, kItemWidth, kItemHeight);
    face->setTag(bookId.toInt());
    connect(face, &QAbstractButton::clicked, this, [this, bookId] { onClick(bookId); });
    connect(face, &QAbstractButton::pressed, this, [this] { swallowNextTap_ = false; });
    GestureRecognizer::add(face, GestureRecognizer::Kind::LongPress, this,
                           [this](QPoint) { longPressGesture(); });
    KeepProgressBar::addTo(face, bookId);

    if (index == 0) {
        auto* badge = new ImageView(content);
        badge->setObjectName(QStringLiteral("readBadge"));
        badge->setImageNamed(QStringLiteral("books_Icon_read"));
        badge->setGeometry(kItemWidth - 24, kItemHeight - kStripHeight - 20, 22, 22);
        badge->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    // Over the cover's top-left corner, where a finger finds it.
    cell->setDeleteButtonIcon(Images::named(QStringLiteral("books_delete")));
    cell->setDeleteButtonOffset(QPoint(-10, -10));
    return cell;
}

void FirstViewController::GMGridViewDidTapOnItemAtIndex(GMGridView*, int index) {
    if (index < 0 || index >= bookArr_.size())
        return;
    onClick(bookArr_.at(index).toMap().value(QStringLiteral("book_id")).toString());
}

void FirstViewController::onClick(const QString& bookId) {
    if (swallowNextTap_) {
        swallowNextTap_ = false;
        return;
    }
    readBook(bookId);
}

namespace {

bool readsBook(const ViewController* screen, const QString& bookId) {
    if (auto* reader = qobject_cast<const ReadbooksViewController*>(screen))
        return reader->book_id == bookId;
    if (auto* contents = qobject_cast<const BookChapterAndMarkViewController*>(screen))
        return contents->book_id == bookId;
    return false;
}

// A reader of the book (or its contents) left open on another tab would go on fetching and
// storing chapters, and writing last-read records, for a book the shelf no longer holds: those
// screens close with the book. Popping cancels their requests at once.
void closeScreensReading(TabBarController* tabs, const QString& bookId) {
    if (!tabs)
        return;
    for (ViewController* tab : tabs->viewControllers()) {
        auto* nav = qobject_cast<NavigationController*>(tab);
        if (!nav)
            continue;
        const QList<ViewController*> screens = nav->viewControllers();
        for (int i = 1; i < screens.size(); ++i) {
            if (readsBook(screens.at(i), bookId)) {
                nav->popToViewController(screens.at(i - 1), false);
                break;
            }
        }
    }
}

} // namespace

void FirstViewController::GMGridViewDeleteItemAtIndex(GMGridView*, int index) {
    if (index < 0 || index >= bookArr_.size())
        return;
    const QVariantMap book = bookArr_.at(index).toMap();
    const QString bookId = book.value(QStringLiteral("book_id")).toString();
    closeScreensReading(tabBarController(), bookId);
    // A download of the whole book stops first and forgets its queue row: nothing it has not
    // started storing yet reaches the database.
    BookKeeper::shared()->cancel(bookId);
    // Chapters or a table of contents of this book may still be on their way into the
    // database; they land first, so that the delete below takes them too.
    BookDb::waitForBackgroundWrites();
    BookDb db;
    // Each step runs even when an earlier one failed.
    db.deleteFromBook(bookId);
    db.deleteFromChapter(bookId);
    db.deleteFromLastReadByBookid(bookId);
    db.deleteMarkByBookid(bookId);
    db.deleteChapterMenuByBookid(bookId);
    CoverFiles::remove(book.value(QStringLiteral("cover")).toString());
    bookArr_.removeAt(index);
}

ReadbooksViewController* FirstViewController::readBook(const QString& bookId) {
    if (isEditing() || bookId.isEmpty())
        return nullptr;
    BookDb db;
    const QVariantMap record = db.selectLastReadRecord(bookId);
    int chapter = 0;
    int page = 0;
    if (db.isReaded(bookId)) {
        chapter = record.value(QStringLiteral("chapter_id")).toInt();
        page = record.value(QStringLiteral("page_id")).toInt();
    } else {
        chapter = db.getMinChapterId(bookId);
    }
    if (chapter < 1)
        chapter = 1;
    if (page < 1)
        page = 1;
    const QVariantMap stored = db.selectChapterContent(bookId, chapter);
    tooles::updateReadTime(bookId);

    auto* reader = new ReadbooksViewController();
    reader->str = stored.contains(QStringLiteral("content"))
                      ? stored.value(QStringLiteral("content")).toString()
                      : QString();
    reader->book_id = bookId;
    reader->current_chapter_id = chapter;
    reader->currentPage = page;
    reader->setHidesBottomBarWhenPushed(true);
    NavigationController* nav = navigationController();
    if (!nav) {
        delete reader;
        return nullptr;
    }
    nav->pushViewController(reader, true);
    return reader;
}

void FirstViewController::longPressGesture() {
    // The finger still rests on the cover; its release must not open the book.
    swallowNextTap_ = true;
    presentOptions();
}

void FirstViewController::presentOptions() {
    loadViewIfNeeded();
    const bool editing = !gmGridView_->isEditing();
    gmGridView_->setEditing(editing);
    if (editing)
        setEditingButtons();
    else
        setBrowsingButtons();
}

// The navigation bar shows the items it is given and hides the ones they replace.
void FirstViewController::setBrowsingButtons() {
    setRightBarButton(editBtn_);
    setLeftBarButton(mineBtn_);
}

void FirstViewController::setEditingButtons() {
    setLeftBarButton(nullptr);
    setRightBarButton(confirmBtn_);
}

void FirstViewController::toMyCenter() {
    if (UserStore::isSignedIn()) {
        auto* center = new MyInfoViewController();
        center->setHidesBottomBarWhenPushed(true);
        if (NavigationController* nav = navigationController())
            nav->pushViewController(center, true);
        else
            delete center;
        return;
    }
    LoginViewController::presentFrom(this);
}
