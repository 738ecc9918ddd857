#include "platform/ui/WebView.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

namespace {

// Chapter texts come from the service and are inserted as they are; nothing they name may
// be fetched. Only the document itself (a data: URL) passes.
class OfflineInterceptor final : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QString scheme = info.requestUrl().scheme();
        if (scheme != QLatin1String("data") && scheme != QLatin1String("about"))
            info.block(true);
    }
};

// Accepts only the navigations the view starts itself, in the main frame: no links,
// redirects, refreshes or frames.
class ReaderPage final : public QWebEnginePage {
public:
    ReaderPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}
    int expected = 0;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!isMainFrame || type == NavigationTypeRedirect || expected <= 0 ||
            url.scheme() != QLatin1String("data"))
            return false;
        --expected;
        return true;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
};

QWebEngineProfile* g_profile = nullptr;

} // namespace

QWebEngineProfile* WebView::sharedProfile() {
    if (!g_profile) {
        g_profile = new QWebEngineProfile(QCoreApplication::instance());
        g_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        g_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        g_profile->setUrlRequestInterceptor(new OfflineInterceptor(g_profile));
        QWebEngineSettings* s = g_profile->settings();
        s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        s->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
        s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
        s->setAttribute(QWebEngineSettings::ShowScrollBars, false);
        s->setAttribute(QWebEngineSettings::ScrollAnimatorEnabled, false);
        s->setAttribute(QWebEngineSettings::WebGLEnabled, false);
        s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
        s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
        QObject::connect(QCoreApplication::instance(), &QObject::destroyed,
                         [] { g_profile = nullptr; });
    }
    return g_profile;
}

WebView::WebView(QWidget* parent) : QWebEngineView(parent) {
    setPage(new ReaderPage(sharedProfile(), this));
    page()->setBackgroundColor(Qt::transparent);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(false);
    // Taps and swipes belong to the widget under the page.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(page(), &QWebEnginePage::loadFinished, this, &WebView::pageLoadFinished);

    // No scrolling or selection by the user; the view scrolls only when told to.
    setUserStyleSheet(QString());
}

WebView::~WebView() {
    *alive_ = false;
}

void WebView::setUserStyleSheet(const QString& css) {
    static const QString base =
        QStringLiteral("html,body{overflow:hidden !important;-webkit-user-select:none !important;"
                       "user-select:none !important;}");
    QString source =
        QStringLiteral("(function(){var s=document.createElement('style');s.textContent=%1;"
                       "(document.head||document.documentElement).appendChild(s);})();");
    const QString text = base + css;
    QString literal = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            literal += QLatin1Char('\\');
        if (c == QLatin1Char('\n')) {
            literal += QStringLiteral("\\n");
            continue;
        }
        literal += c;
    }
    literal += QLatin1Char('"');
    source = source.arg(literal);

    QWebEngineScriptCollection& scripts = page()->scripts();
    for (const QWebEngineScript& old : scripts.find(QStringLiteral("folia-style")))
        scripts.remove(old);
    QWebEngineScript script;
    script.setName(QStringLiteral("folia-style"));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(source);
    scripts.insert(script);
}

void WebView::loadHTMLString(const QString& html) {
    ++generation_;
    loading_ = true;
    offset_ = 0;
    static_cast<ReaderPage*>(page())->expected = 1;
    setHtml(html, QUrl());
}

void WebView::pageLoadFinished(bool ok) {
    if (!loading_)
        return;
    if (!ok) {
        loading_ = false;
        Q_EMIT didFinishLoad(false);
        return;
    }
    waitForFonts(0);
}

// Lines are measured only after the fonts they are set in are ready, and only once the page
// is laid out at the view's own size (a view not yet shown lays out at a default size).
void WebView::waitForFonts(int attempt) {
    const int generation = generation_;
    QPointer<WebView> self(this);
    stringByEvaluatingJavaScript(
        QStringLiteral("[(document.fonts && document.fonts.status==='loading') ? 0 : 1,"
                       "window.innerWidth, window.innerHeight]"),
        [self, generation, attempt](const QVariant& result) {
            if (!self || generation != self->generation_ || !self->loading_)
                return;
            const QVariantList r = result.toList();
            const bool fonts = r.value(0).toInt() == 1;
            const bool sized =
                r.value(1).toInt() == self->width() && r.value(2).toInt() == self->height();
            if ((!fonts || !sized) && attempt < 1000) {
                QTimer::singleShot(3, self, [self, generation, attempt] {
                    if (self && generation == self->generation_)
                        self->waitForFonts(attempt + 1);
                });
                return;
            }
            self->loading_ = false;
            Q_EMIT self->didFinishLoad(true);
        });
}

void WebView::stringByEvaluatingJavaScript(const QString& script, Result done) {
    if (done)
        page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                              [done, alive = alive_](const QVariant& v) {
                                  if (*alive)
                                      done(v);
                              });
    else
        page()->runJavaScript(script, QWebEngineScript::ApplicationWorld);
}

void WebView::documentHeight(std::function<void(int)> done) {
    stringByEvaluatingJavaScript(
        QStringLiteral("Math.max(document.documentElement ? document.documentElement.scrollHeight "
                       ": 0, document.body ? document.body.scrollHeight : 0)"),
        [done](const QVariant& v) { done(v.toInt()); });
}

void WebView::setScrollOffset(int y) {
    offset_ = y;
    stringByEvaluatingJavaScript(
        QStringLiteral("(function(y){var d=document.documentElement;if(!d)return;"
                       "var need=y+window.innerHeight;"
                       "if(d.scrollHeight<need)d.style.minHeight=need+'px';"
                       "window.scrollTo(0,y);})(%1)")
            .arg(y));
}

void WebView::currentScrollOffset(std::function<void(int)> done) {
    stringByEvaluatingJavaScript(QStringLiteral("Math.round(window.scrollY)"),
                                 [done](const QVariant& v) { done(v.toInt()); });
}
