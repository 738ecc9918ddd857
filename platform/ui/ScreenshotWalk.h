#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Window;
class ViewController;
class QWidget;

// The walk that `folia --screenshots DIR` takes through the screens: an open registry that each
// subsystem adds its screens to, and a runner that writes DIR/<name>.png for each, in order.
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
// Orders: shell 10-39, catalog 100-149, discovery 150-199, reader 200-299, sign-in 300-339,
// member center 340-369, account lists 370-399, settings 400-449,
// widgets 500-599.
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
    };

    using Step = std::function<void(Context&)>;

    // Adds a step; steps run by ascending order, then by name.
    static void add(const QString& name, int order, Step step);
    static QStringList names();
    // Runs every step against window, writing dir/<name>.png; the number of files written.
    static int run(const QString& dir, Window* window);
};
