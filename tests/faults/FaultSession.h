#pragma once

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <random>

#include "tests/faults/LibraryCheck.h"

class AppDelegate;
class BookDetailViewController;
class NavigationController;
class ReadbooksViewController;
class TabBarController;
class ViewController;
class MyInfoViewController;
class Window;

namespace faults {

// A notice as it came into view.
struct ShownNotice {
    QString screen; // class of the screen the notice belongs to
    QString text;
    QString image;
    bool underOverlay = false; // a progress overlay covered it
};

// Every notice and alert the app showed, by the text it showed.
class NoticeLog final : public QObject {
    Q_OBJECT

public:
    NoticeLog();
    ~NoticeLog() override;
    const QList<ShownNotice>& notices() const { return notices_; }
    const QStringList& alerts() const { return alerts_; }
    int overlaysShown() const { return overlays_; }
    QMap<QString, int> countsByText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<ShownNotice> notices_;
    QStringList alerts_;
    int overlays_ = 0;
};

// What a session saw.
struct SessionReport {
    int rounds = 0;
    int steps = 0;
    QMap<QString, int> stepsByName;
    int failuresInjected = 0;
    QMap<QString, int> noticesByText;
    QList<ShownNotice> notices;
    QMap<QString, int> alertsByText;
    QStringList faults; // what went wrong in the app: overlays left on, failures not shown …
    QList<LibraryCheck> checkpoints;
    LibraryCheck library; // the final check
    qint64 elapsedMs = 0;
    // Reached by the road at least once.
    int booksDownloaded = 0;
    int chaptersCrossed = 0;
    int signIns = 0;
    int signOuts = 0;
    int booksDeleted = 0;
    int favoriteSwitches = 0;
    int rowsDeleted = 0;
    int overlaysShown = 0;
    int spinnersSeen = 0;
    QMap<QString, int> silentFailures; // by step: failures the screen shows no notice for

    QString summary() const;
};

// The app's road, from the shelf through the lists, a book's detail, its download and reading,
// contents and bookmarks, keeping a whole book, sign-in, the member center's lists, messages,
// feedback and sign-out, driven through the screens' own actions, round after round until the
// time is up, against a service that fails some of its answers. After every step it waits for
// the app to come to rest and notes a progress overlay or a pull spinner left running, and a
// failure that showed no notice.
class FaultSession final {
public:
    struct Options {
        quint32 seed = 1;
        int seconds = 30;
        QString account; // an account the service knows
        QString password;
        std::function<int()> failuresInjected; // the service's count so far
        ServiceText serviceText;               // the service's chapter texts
        int checkpointEveryRounds = 1;
    };

    explicit FaultSession(Options options);
    ~FaultSession();
    FaultSession(const FaultSession&) = delete;
    FaultSession& operator=(const FaultSession&) = delete;

    SessionReport run();

private:
    bool timeIsUp() const;
    int pick(int below); // 0 … below − 1, from the session's seed

    TabBarController* tabs() const;
    NavigationController* stack(int tab) const;
    ViewController* selectTab(int tab);
    // The member center opened from the shelf's user button while signed in, or null.
    MyInfoViewController* openMemberCenter();
    void dismissAlerts();
    bool atRest() const;
    QString whatIsRunning() const;
    void checkpoint(const QString& step);
    void fault(const QString& step, const QString& what);

    // The steps of the road.
    void shelfStep();
    void deleteFromShelf(const QString& bookId);
    void listsStep(int tab, const QString& name);
    void categoriesStep();
    void searchStep();
    BookDetailViewController* openDetailFromRankings();
    ReadbooksViewController* downloadStep(BookDetailViewController* detail);
    void readStep(ReadbooksViewController* reader, const QString& step);
    void contentsStep(ReadbooksViewController* reader);
    void keepStep();
    bool signInStep();
    void memberStep();
    void signOutStep();

    Options options_;
    std::mt19937 random_;
    QElapsedTimer clock_;
    AppDelegate* app_ = nullptr;
    NoticeLog* log_ = nullptr;
    SessionReport report_;
};

} // namespace faults
