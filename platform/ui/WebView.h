#pragma once

#include <QString>
#include <QUrl>
#include <QWebEngineView>
#include <functional>
#include <memory>

class QWebEngineLoadingInfo;
class QWebEngineProfile;

// The web view the reader renders its pages in. It shows one HTML string, served to the
// engine under a page address of our own that only this view's profile can load (so a text
// of any length loads), and runs only the application's own scripts: the page's JavaScript
// is off, our scripts run in the application's own world, and nothing else is fetched.
// The user cannot scroll, select or open a context menu; the background is transparent and
// mouse events go to the widget below, so the owner handles taps and swipes itself.
class WebView final : public QWebEngineView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebView)

public:
    using Result = std::function<void(const QVariant&)>;

    explicit WebView(QWidget* parent = nullptr);
    ~WebView() override;

    // Renders the HTML text; didFinishLoad follows once it and its fonts are ready. A load
    // started before the previous one finished replaces it: only the last one reports, and
    // only once its own document is there.
    void loadHTMLString(const QString& html);
    // A style sheet for every document this view loads from now on, placed ahead of the
    // document's own content.
    void setUserStyleSheet(const QString& css);
    // Runs the script in the application's world; done (optional) gets its result.
    void stringByEvaluatingJavaScript(const QString& script, Result done = {});
    // The height of the loaded document in CSS pixels (0 when nothing is loaded).
    void documentHeight(std::function<void(int)> done);
    // The height measured when the last load finished (0 before any load finished).
    int loadedDocumentHeight() const { return loadedHeight_; }
    // A script expression evaluated in each loaded document just before didFinishLoad, its
    // answer kept as loadedMeasurement(): null when the script failed, or when the document
    // never settled at the view's size and was reported loaded anyway (measure it then).
    void setLoadMeasurement(const QString& script) { measureScript_ = script; }
    QVariant loadedMeasurement() const { return loadedMeasurement_; }
    // Moves the vertical scroll offset at once (no animation), lengthening the document
    // when it ends before a full view at that offset.
    void setScrollOffset(int y);
    int scrollOffset() const { return offset_; }
    // The offset the document actually shows, read back from the page.
    void currentScrollOffset(std::function<void(int)> done);
    bool isLoading() const { return loading_; }

    // The one engine profile of the application: off the record, no network.
    static QWebEngineProfile* sharedProfile();
    // The text as a double-quoted script string literal, safe for any content.
    static QString scriptStringLiteral(const QString& text);

Q_SIGNALS:
    void didFinishLoad(bool ok);

private:
    static void keepRendererAlive();
    void pageLoadingChanged(const QWebEngineLoadingInfo& info);
    void waitForFonts(int attempt);
    void finishLoad(bool ok);

    int offset_ = 0;
    bool loading_ = false;
    int generation_ = 0;
    int probe_ = 0; // the probe of the current document that is still wanted
    int loadedHeight_ = 0;
    QString measureScript_;
    QByteArray styleElement_; // the style sheet, as the element the documents start with
    QVariant loadedMeasurement_;
    QUrl pageUrl_; // the address of the load in progress or last loaded
    // Cleared when the view starts going away. The engine answers scripts still pending when
    // the page is destroyed (during our own destruction, and during the owner's), and those
    // answers must not reach a view, or a screen, that is half torn down.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
