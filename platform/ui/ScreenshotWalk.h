#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Window;
class ViewController;
class QWidget;

// The walk that `folia --screenshots DIR` takes through the screens: an open registry that each
// subsystem adds its screens to, and a runner that writes DIR/<name>.png for each, in order.
// Read in order, the pictures tell a reader's first day: the guide, the tabs, sign-in, a book's
// detail and download, the reader, the member center with its lists, the settings and sign-out.
//
// A step that drives real requests checks what it must show (Context::require); a step that
// cannot do its job is logged with its name and what was missing, the walk goes on with the
// next step (so that one run shows every failure), and the walk as a whole fails.
//
// A subsystem adds its screens from one register function in a header of its own; the shell
// calls each (app/ShellScreenshots.cpp):
//     widgets/WidgetGallery.h         void registerWidgetGallery();
//     reader/ReaderScreenshots.h      void registerReaderScreenshots();
//     reader/PositionScreenshots.h    void registerPositionScreenshots();
//     catalog/CatalogScreenshots.h    void registerCatalogScreenshots();
//     account/AccountScreenshots.h    void registerAccountScreenshots();
//     catalog/DiscoveryScreenshots.h  void registerDiscoveryScreenshots();
//     account/MemberScreenshots.h     void registerMemberScreenshots();
//     account/ListsScreenshots.h      void registerListsScreenshots();
//     app/SettingScreenshots.h        void registerSettingScreenshots();
// Orders, in the story's order: first launch and the tabs 10-29, discovery 30-69,
// sign-in and registration 70-99, catalog (detail, download, shelf) 100-149, reader 200-289,
// reading positions 290-299, member center 340-369, account lists 370-399, settings and
// sign-out 400-449, then the appendix: widgets 500-589, shell pieces 590-599.
class ScreenshotWalk final {
public:
    ScreenshotWalk() = delete;

    // What a step gets to set the scene.
    class Context {
    public:
        virtual ~Context();
        // The application's window (built by the application delegate).
        virtual Window* window() = 0;
        // Pushes a screen on the selected tab's navigation stack (popped again after the shot).
        virtual void push(ViewController* controller) = 0;
        // Shows a widget over the whole window (removed after the shot).
        virtual void showFullWindow(QWidget* widget) = 0;
        // Selects a tab (0..4).
        virtual void selectTab(int index) = 0;
        // Lets pending events, requests and animations finish, up to ms.
        virtual void settle(int ms = 300) = 0;
        // Runs fn after the shot, to put back what the step changed.
        virtual void addCleanUp(std::function<void()> fn) = 0;
        // The step could not do its job; what says what was missing. The step's shot is
        // still taken.
        virtual void fail(const QString& what) = 0;
        // fail(what) unless ok; returns ok.
        bool require(bool ok, const QString& what);
        // Settles until done holds, up to ms; whether it held.
        bool waitFor(const std::function<bool()>& done, int ms = 15000);
        // The name of the step that is running.
        virtual QString stepName() const = 0;
    };

    using Step = std::function<void(Context&)>;

    // Adds a step; steps run by ascending order, then by name.
    static void add(const QString& name, int order, Step step);
    static QStringList names();
    // The share of widget's pixels, as the window shows them, that stand out clearly from its
    // most common colour: about 0 for a blank page, a few hundredths for a page of text.
    static double inkShare(QWidget* widget);
    struct Result {
        int written = 0;
        // "<step>: <what was missing>", one per failure, in walk order.
        QStringList failures;
        bool ok() const { return written > 0 && failures.isEmpty(); }
    };
    // Runs every step (or only the named ones) against window, writing dir/<name>.png.
    static Result run(const QString& dir, Window* window, const QStringList& only = {});
};
