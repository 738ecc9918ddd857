#pragma once

#include <QLabel>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include "platform/ui/AlertView.h"
#include "platform/ui/ViewController.h"
#include "reader/PageMetrics.h"
#include "reader/ReaderControlsDelegate.h"
#include "reader/TextPosition.h"
#include "widgets/WEPopoverController.h"

class Button;
class HttpRequest;
class NoticeView;
class WebView;
class ReaderToolbarItems;

// The reading screen: one book, one chapter at a time, one page at a time. A chapter is
// rendered whole in a web view one page high and shown page by page by scroll offset. Texts
// come from the book database, and from /data/getcontent in runs of up to ten chapters when
// they are missing; the last-read record names the page on screen after every turn and
// every completed load.
//
// The caller sets str (null when the chapter is not stored), book_id, current_chapter_id
// and currentPage before pushing it.
class ReadbooksViewController final : public ViewController,
                                      public AlertViewDelegate,
                                      public ReaderControlsDelegate,
                                      public WEPopoverControllerDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReadbooksViewController)

public:
    explicit ReadbooksViewController(QWidget* parent = nullptr);
    ~ReadbooksViewController() override;

    // --- Reading state
    QString str;
    QString book_id;
    int current_chapter_id = 1;
    int currentPage = 1;
    int allPage = 1;
    QString currentAction; // "UP" after a backward turn into the previous chapter, else null

    // --- Display state
    double fontSize = 14;
    QString fontColor = QStringLiteral("#000000");
    int isWhiteBlack = 1;
    double alphaSize = 0;
    bool navBarState = false;

    // --- Page turns and chapter moves
    void upPage();
    void downPage();
    // Navigation-bar and error-button actions by tag: 0 back, 1/2 previous/next chapter,
    // 3 table of contents, 4 bookmark toggle, 5 error report.
    void action(int tag);
    // Toolbar items by tag: 1 refresh, 2 font size, 3 brightness, 4 day/night, 5 jump.
    void showPop(int tag);
    void showPopAction(double x);
    void hideNavAndToolbar();
    void handleBackgroundTap(const QPointF& point);
    void handleSwipeFrom(bool toLeft);
    void actionLabel1(double x);
    void actionLabel2();
    void actionLabel3();

    // --- Delegate operations of the popovers
    void changeFontSize(double size) override;
    void changeLuminance(const QString& value) override;
    void changePlan(const QString& chapter) override;
    void popoverControllerDidDismissPopover(WEPopoverController* popover) override;
    bool popoverControllerShouldDismissPopover(WEPopoverController* popover) override;

    // --- Fetches and reports
    void reDownloadBookByChatper();
    void showAlert();
    void alertViewClickedButtonAtIndex(AlertView* alert, int index) override;
    void recordLastRead();
    void readRecord();

    // --- Database views of the state
    QVariantMap getChapter();
    QString getChatperName();
    int getMinChapterId();
    int getMaxChapterId();
    int getLastChapterNumber();
    bool isExistsInChapter();
    QVariantMap returnMarkOptions();
    bool isMarked();

    // --- The page
    void loadWebview();
    void showBDK(const QString& text, const QString& imageName);
    void displayNotification();

    // What tests and the screenshot walk look at.
    const PageMetrics& metrics() const { return metrics_; }
    // Where the pages of the loaded chapter start in its text, and the character the reader
    // is at (−1 while unknown); see TextPosition.
    const TextPosition& textPosition() const { return position_; }
    int readingOffset() const { return anchor_.offset(); }
    WebView* webView() const { return webView_; }
    NoticeView* notice() const { return notify_; }
    QLabel* titleLabel() const { return titleLabel_; }
    QLabel* indexLabel() const { return indexLabel_; }
    QLabel* remainLabel() const { return remainLabel_; }
    QWidget* lightView() const { return lightView_; }
    double lightAlpha() const;
    QWidget* viewBookMark() const { return viewBookMark_; }
    Button* errorButton() const { return errorButton_; }
    WEPopoverController* popoverController() const { return popoverController_; }
    QWidget* toolbarItems() const;
    bool isBusy() const; // a fetch, a load or a transition is still running

Q_SIGNALS:
    // A page load completed and the page it shows is on screen with its labels.
    void pageLaidOut();

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void webViewDidFinishLoad(bool ok);
    void takePageStarts(const QVariant& answer);
    void layOutLoadedPage();
    void exchangeAnimate(int direction);
    void showCurrentPage();
    void fillLabels();
    void updateMarkIndicator();
    void layoutScreen();
    void setBackground();
    void moveChapter(int chapter);
    void openStoredChapter();

    // The fetches of /data/getcontent.
    HttpRequest* contentRequest(const QString& chapters, bool blocking);
    void downData(const QString& chapters);
    void downDatalast(int start);
    void downLastChapter();
    void downCurrentChapter();
    void fetchFailed(const QString& notice);
    void restoreShownChapter(bool backwardTurn = false);

    PageMetrics metrics_;
    TextPosition position_;  // page starts of the loaded document
    ReadingAnchor anchor_;   // the character the reader is at
    int nextAnchor_ = -1;    // the character the next load is to show
    int shownAnchor_ = -1;   // the character the load in progress is to show
    int loadSerial_ = 0;     // counts page loads, so a late measurement is told apart
    bool measuring_ = false; // the loaded page is finding where its pages start
    int shownChapterId_ = 0; // the chapter whose text the page holds
    QString loadedColor_;    // the text colour the page document was composed or set with
    bool transitioning_ = false;
    int pendingFetches_ = 0;

    QWidget* readBg_ = nullptr;
    QWidget* lightView_ = nullptr;
    QWidget* page_ = nullptr;
    WebView* webView_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QLabel* indexLabel_ = nullptr;
    QLabel* remainLabel_ = nullptr;
    Button* errorButton_ = nullptr;
    QLabel* viewBookMark_ = nullptr;
    QWidget* titleButtons_ = nullptr;
    QPointer<ReaderToolbarItems> toolbarItems_;
    NoticeView* notify_ = nullptr;
    QPointer<WEPopoverController> popoverController_;

    // One slot per purpose: error report, refresh, chapter fetches, reading record.
    QPointer<HttpRequest> asiHttpRequest;
    QPointer<HttpRequest> asiHttpRequest2;
    QPointer<HttpRequest> asiRequest;
    QPointer<HttpRequest> readRecordRequest;

    QPointF pressPoint_;
    bool pressed_ = false;
};
