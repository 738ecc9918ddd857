#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>

#include "catalog/GetSourceSiteDelegate.h"
#include "platform/ui/ViewController.h"
#include "storage/MyBookList.h"
#include "widgets/PullingRefreshTableView.h"

class Button;
class EGOImageView;
class HttpRequest;
class NoticeView;
class QLabel;
class QScrollArea;
class ReadbooksViewController;

// The detail of one book of the service: its facts, favorite state, related books, and the way
// to read it (opening a stored book or downloading a new one).
class BookDetailViewController final : public ViewController,
                                       public PullingRefreshTableViewDelegate,
                                       public GetSourceSiteDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BookDetailViewController)

public:
    // Button tags of action().
    enum Tag {
        TagBack = 0,
        TagFavAdd = 1,
        TagFavRemove = 2,
        TagRead = 3,
        TagOpenAll = 6,
        TagSiteRss = 7,
        TagKeep = 8
    };
    static constexpr int kRowHeight = 73;
    static constexpr int kListHeight = 450;

    explicit BookDetailViewController(QWidget* parent = nullptr);
    ~BookDetailViewController() override;

    // The book shown; set before the screen is shown.
    void setBookInfo(const MyBookList& book) { bookInfo_ = book; }
    MyBookList bookInfo() const { return bookInfo_; }

    // The one way a list screen opens a book: a detail screen for book pushed on from's stack.
    static BookDetailViewController* pushFrom(ViewController* from, const MyBookList& book);

    // The chapters a download asks for: 1 … min(10, last chapter), or "1" without any.
    static QString downloadChapters(const QVariant& lastChapterNumber);
    // Whether Wi-Fi can be used now; tests replace it.
    static std::function<bool()> wifiAvailable;

    void action(int tag);
    void GetSourceSite(const QString& siteName) override;

    // The related-books list.
    void pullingTableViewDidStartRefreshing(PullingRefreshTableView* tableView) override;
    void pullingTableViewDidStartLoading(PullingRefreshTableView* tableView) override;
    void getData();

    // What tests and the walk look at.
    QString bookid() const { return bookid_; }
    const QList<MyBookList>& arrReadMore() const { return arrReadMore_; }
    PullingRefreshTableView* tableView() const { return myTableView; }
    QScrollArea* scrollView() const { return myScrollView; }
    NoticeView* notice() const { return notify; }
    QLabel* labelIntroContent() const { return labelIntroContent_; }
    QLabel* labelReadMore() const { return labelReadMore_; }
    QLabel* labelReadSite() const { return labelReadSite_; }
    Button* btnOpenAll() const { return btnOpenAll_; }
    // "缓存全本": keeps the whole book; shows "已缓存 n/N" while it runs, "已缓存全本" when done.
    Button* btnKeep() const { return btnKeep_; }
    void refreshKeep();
    // True while the favorite toggle shows "in favorites".
    bool showsFavorite() const { return favoriteShown_; }
    // The texts of the facts, in order: title, author, category, update, status.
    QStringList factTexts() const;
    // The reader a download or a stored book opened last, while it lives.
    ReadbooksViewController* openedReader() const;
    // From "开始阅读" on a new book until its chapters are stored (or the download failed).
    bool isDownloading() const;
    // The cover of the last download arrived (or failed) and was handled.
    bool coverSettled() const { return coverSettled_; }

Q_SIGNALS:
    // The related books arrived (or failed) and the list shows them.
    void relatedLoaded();
    // A download ended: opened the reader, or stopped with a notice.
    void downloadEnded(bool opened);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

private:
    void buildFacts(QWidget* content);
    void buildRelatedList(QWidget* content);
    void reloadRelated();
    void setFavoriteShown(bool favorite);
    void sendBookInfo();
    void sendFavorite(bool add);
    void startReading();
    ReadbooksViewController* openStoredBook();
    void download();
    void endDownload(bool opened);
    void downOk(HttpRequest* request);
    void chaptersStored(const QVariantMap& answer, bool ok, bool onShelfAlready);
    void fetchCover(const QString& address, const QString& coverName);
    void getMenu();
    void keepWhole();
    void watchKeeper();
    ReadbooksViewController* openReader(const QString& text, int chapter, int page);
    void openAll();
    void goBack();
    void openSourceSites();
    void openRelated(int row);
    void showBDK(const QString& text, const QString& imageName);
    void displayNotification();
    void showNetworkNotice();
    // A download needs a signed-in reader, and Wi-Fi when downloads are limited to it; false
    // (with the login screen or the notice shown) when it may not start.
    bool mayDownload();
    bool eventFilter(QObject* watched, QEvent* event) override;

    MyBookList bookInfo_;
    QString bookid_;
    QList<MyBookList> arrReadMore_;
    bool refreshing_ = false;
    QString currentAction;
    bool favoriteShown_ = false;
    bool coverSettled_ = true;

    QScrollArea* myScrollView = nullptr;
    QWidget* content_ = nullptr;
    EGOImageView* cover_ = nullptr;
    QList<QLabel*> facts_;
    QLabel* labelIntroContent_ = nullptr;
    Button* btnOpenAll_ = nullptr;
    QLabel* labelReadMore_ = nullptr;
    PullingRefreshTableView* myTableView = nullptr;
    Button* btnFavoritesNo = nullptr;
    Button* btnFavoritesYes = nullptr;
    Button* btnOnlineRead = nullptr;
    Button* btnKeep_ = nullptr;
    Button* btnSiteRss = nullptr;
    QLabel* labelReadSite_ = nullptr;
    QLabel* labelSiteNums_ = nullptr;
    NoticeView* notify = nullptr;
    QPointer<ReadbooksViewController> reader_;
    bool dragging_ = false;
    bool pulled_ = false;
    bool downloading_ = false; // from the request until the chapters are stored

    QPointer<HttpRequest> asiRequest;         // book info
    QPointer<HttpRequest> asiRequest2;        // download
    QPointer<HttpRequest> asiRequest3;        // favorite
    QPointer<HttpRequest> asiRequestAlsoread; // related books
    QPointer<HttpRequest> asiRequest5;        // chapter menu
};
