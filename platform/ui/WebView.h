#pragma once

#include <QString>
#include <QWebEngineView>
#include <functional>
#include <memory>

class QWebEngineProfile;

// The web view the reader renders its pages in. It shows one HTML string loaded with no
// base URL and runs only the application's own scripts: the page's JavaScript is off, our
// scripts run in the application's own world, and nothing is fetched from the network.
// The user cannot scroll, select or open a context menu; the background is transparent and
// mouse events go to the widget below, so the owner handles taps and swipes itself.
class WebView final : public QWebEngineView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebView)

public:
    using Result = std::function<void(const QVariant&)>;

    explicit WebView(QWidget* parent = nullptr);
    ~WebView() override;

    // Renders the HTML text; didFinishLoad follows once it and its fonts are ready.
    void loadHTMLString(const QString& html);
    // A style sheet added to every document this view loads, from the application's world.
    void setUserStyleSheet(const QString& css);
    // Runs the script in the application's world; done (optional) gets its result.
    void stringByEvaluatingJavaScript(const QString& script, Result done = {});
    // The height of the loaded document in CSS pixels (0 when nothing is loaded).
    void documentHeight(std::function<void(int)> done);
    // Moves the vertical scroll offset at once (no animation), lengthening the document
    // when it ends before a full view at that offset.
    void setScrollOffset(int y);
    int scrollOffset() const { return offset_; }
    // The offset the document actually shows, read back from the page.
    void currentScrollOffset(std::function<void(int)> done);
    bool isLoading() const { return loading_; }

    // The one engine profile of the application: off the record, no network.
    static QWebEngineProfile* sharedProfile();

Q_SIGNALS:
    void didFinishLoad(bool ok);

private:
    void pageLoadFinished(bool ok);
    void waitForFonts(int attempt);

    int offset_ = 0;
    bool loading_ = false;
    int generation_ = 0;
    // Cleared when the view starts going away. The engine answers scripts still pending when
    // the page is destroyed (during our own destruction, and during the owner's), and those
    // answers must not reach a view, or a screen, that is half torn down.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
