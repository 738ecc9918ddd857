#include "platform/ui/WebView.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QOpenGLContext>
#include <QPointer>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <cstdio>

namespace {

// The pages are served under this scheme, by a handler only the reader's profile has. A
// data: URL would do without one, but the engine refuses those beyond about 2 MB, and
// chapters can be longer.
const QByteArray kPageScheme = QByteArrayLiteral("folia-page");

QtMessageHandler g_nextHandler = nullptr;

// Lines the engine writes on every start, about its graphics set-up and sandbox.
void withoutEngineStartLines(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    const QString line = message.trimmed();
    if (line == QLatin1String("No suitable graphics backend found") ||
        line == QLatin1String("Sandboxing disabled by user."))
        return;
    if (g_nextHandler)
        g_nextHandler(type, context, message);
    else
        fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

// Schemes must be known before the engine starts, which is before the application object
// exists: this runs while the program loads.
void registerPageScheme() {
    QWebEngineUrlScheme scheme(kPageScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    QWebEngineUrlScheme::registerScheme(scheme);
    // The engine describes its graphics set-up on every start; the terminal keeps to folia's
    // own lines unless FOLIA_ENGINE_LOG=1 (or QT_LOGGING_RULES) asks for the engine's.
    if (qEnvironmentVariableIntValue("FOLIA_ENGINE_LOG") == 0) {
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.debug=false\n"
                                                        "qt.webenginecontext.info=false"));
        g_nextHandler = qInstallMessageHandler(&withoutEngineStartLines);
    }
}
Q_CONSTRUCTOR_FUNCTION(registerPageScheme)

// The documents waiting to be served, by page address; each view keeps its last one here
// until it loads another or goes away. Main thread only.
QHash<QUrl, QByteArray>& pageDocuments() {
    static QHash<QUrl, QByteArray> documents;
    return documents;
}

quint64 nextPageNumber() {
    static quint64 n = 0;
    return ++n;
}

class PageSchemeHandler final : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override {
        const auto it = pageDocuments().constFind(job->requestUrl());
        if (it == pageDocuments().constEnd()) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto* body = new QBuffer(job);
        body->setData(it.value());
        body->open(QIODevice::ReadOnly);
        job->reply(QByteArrayLiteral("text/html;charset=utf-8"), body);
    }
};

// Chapter texts come from the service and are inserted as they are; nothing they name may
// be fetched. Only the page document itself, in the main frame, passes.
class OfflineInterceptor final : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const bool page =
            info.requestUrl().scheme().toLatin1() == kPageScheme &&
            info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame;
        if (!page && info.requestUrl().scheme() != QLatin1String("about"))
            info.block(true);
    }
};

// Accepts only the navigation the view starts itself, to the page it is loading, in the main
// frame: no links, redirects, refreshes or frames.
class ReaderPage final : public QWebEnginePage {
public:
    ReaderPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}
    QUrl expected;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!isMainFrame || type == NavigationTypeRedirect || expected.isEmpty() ||
            url != expected)
            return false;
        expected = QUrl();
        return true;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
};

QWebEngineProfile* g_profile = nullptr;

// The engine starts with the first profile. It draws through the OpenGL context the
// application shares; where none could be made (a platform without OpenGL, such as the
// offscreen one) it falls back to software only after warning that the context is missing.
// Ask for software drawing from the start there.
void drawInSoftwareWithoutSharedContext() {
    const QOpenGLContext* shared = QOpenGLContext::globalShareContext();
    if (shared && shared->isValid())
        return;
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.split(' ').contains(QByteArrayLiteral("--disable-gpu")))
        return;
    flags = flags.trimmed();
    if (!flags.isEmpty())
        flags += ' ';
    flags += QByteArrayLiteral("--disable-gpu");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

// A page of ours that stays open while the application runs, so that the renderer process
// serving the views' pages (see oneRendererForAllPages) stays up between one view and the
// next: without it, closing the reader ends the process and the next one starts it again.
// It is never shown and never handed to a view; it holds one line in the reader's face, so
// the renderer has that font looked up too.
ReaderPage* g_keeper = nullptr;

QUrl keeperUrl() {
    return QUrl(QString::fromLatin1(kPageScheme) + QStringLiteral(":/keeper"));
}

void dropKeeperPage() {
    delete g_keeper;
    g_keeper = nullptr;
}

// Every page the views load is a document of ours under one scheme, with scripts off. One
// renderer process serves them all, so a view opened after another starts no renderer of its
// own; by default the engine starts one for every page, which is most of the time a chapter
// takes to open. The engine reads its switches when it starts.
void oneRendererForAllPages() {
    const QByteArray flag = QByteArrayLiteral("--process-per-site");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").trimmed();
    if (flags.split(' ').contains(flag))
        return;
    if (!flags.isEmpty())
        flags += ' ';
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + flag);
}

} // namespace

QWebEngineProfile* WebView::sharedProfile() {
    if (!g_profile) {
        drawInSoftwareWithoutSharedContext();
        oneRendererForAllPages();
        g_profile = new QWebEngineProfile(QCoreApplication::instance());
        g_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        g_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        g_profile->setUrlRequestInterceptor(new OfflineInterceptor(g_profile));
        g_profile->installUrlSchemeHandler(kPageScheme, new PageSchemeHandler(g_profile));
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
        // Pages go before their profile and before the engine shuts down. Routines run in the
        // reverse order of their registration, and the engine registered its own already.
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                         &dropKeeperPage);
        qAddPostRoutine(&dropKeeperPage);
    }
    return g_profile;
}

QString WebView::scriptStringLiteral(const QString& text) {
    QString literal;
    literal.reserve(text.size() + 2);
    literal += QLatin1Char('"');
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'"' || u == u'\\') {
            literal += QLatin1Char('\\');
            literal += c;
        } else if (u == u'\n') {
            literal += QLatin1String("\\n");
        } else if (u == u'\r') {
            literal += QLatin1String("\\r");
        } else if (u < 0x20 || u == 0x2028 || u == 0x2029 || u == u'<') {
            // Line terminators end a string literal; "<" keeps "</script>" out of a page.
            literal += QStringLiteral("\\u%1").arg(uint(u), 4, 16, QLatin1Char('0'));
        } else {
            literal += c;
        }
    }
    literal += QLatin1Char('"');
    return literal;
}

void WebView::keepRendererAlive() {
    if (g_keeper || !QCoreApplication::instance())
        return;
    QWebEngineProfile* profile = sharedProfile();
    pageDocuments().insert(keeperUrl(),
                           QByteArrayLiteral("<html><body style=\"font-family:Arial\">"
                                             "\xe3\x80\x80\xe5\xad\x97 a</body></html>"));
    g_keeper = new ReaderPage(profile, nullptr);
    g_keeper->expected = keeperUrl();
    g_keeper->setUrl(keeperUrl());
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
    connect(page(), &QWebEnginePage::loadingChanged, this, &WebView::pageLoadingChanged);

    // No scrolling or selection by the user; the view scrolls only when told to.
    setUserStyleSheet(QString());
}

WebView::~WebView() {
    *alive_ = false;
    pageDocuments().remove(pageUrl_);
}

void WebView::setUserStyleSheet(const QString& css) {
    static const QString base =
        QStringLiteral("html,body{overflow:hidden !important;-webkit-user-select:none !important;"
                       "user-select:none !important;}");
    // The sheet goes into the served document itself, ahead of everything else in it, so it is
    // part of the first layout and nothing in the chapter can keep it out. "</" would end the
    // element; in CSS "<\/" reads the same.
    QString sheet = base + css;
    sheet.replace(QLatin1String("</"), QLatin1String("<\\/"));
    styleElement_ = QStringLiteral("<style>%1</style>").arg(sheet).toUtf8();
}

void WebView::loadHTMLString(const QString& html) {
    ++generation_;
    loading_ = true;
    loadedMeasurement_ = QVariant();
    offset_ = 0;
    pageDocuments().remove(pageUrl_);
    // Every load has an address of its own, so that the engine's report of a load can be
    // told apart from the report of the one it replaced.
    pageUrl_ = QUrl(QString::fromLatin1(kPageScheme) + QStringLiteral(":/page/") +
                    QString::number(nextPageNumber()));
    pageDocuments().insert(pageUrl_, styleElement_ + html.toUtf8());
    static_cast<ReaderPage*>(page())->expected = pageUrl_;
    setUrl(pageUrl_);
}

void WebView::pageLoadingChanged(const QWebEngineLoadingInfo& info) {
    if (!loading_)
        return;
    const bool current = info.url() == pageUrl_;
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        if (current) {
            finishLoad(false);
            return;
        }
        break;
    default:
        return;
    }
    // Loads that follow each other closely are reported as one, under the address of the
    // first: a report names no load for sure. The document itself says which one it is, so
    // every report starts a probe that waits for the current document.
    ++probe_;
    waitForFonts(0);
}

void WebView::finishLoad(bool ok) {
    loading_ = false;
    // Once a page is up, its renderer is kept for the views that follow.
    if (ok && !g_keeper)
        QTimer::singleShot(0, QCoreApplication::instance(), &WebView::keepRendererAlive);
    Q_EMIT didFinishLoad(ok);
}

// Lines are measured only in the document of the current load, after the fonts they are set
// in are ready, and once the page is laid out at the view's own size (a view not yet shown
// lays out at a default size). The last probe also measures the document, so the owner need
// not ask again.
void WebView::waitForFonts(int attempt) {
    const int generation = generation_;
    const int probe = probe_;
    QPointer<WebView> self(this);
    // The measurement runs in the same evaluation once the document is the one wanted, its
    // fonts are ready and it is laid out at the view's size, so that a finished load costs one
    // trip to the page, not two.
    const QString measure =
        measureScript_.isEmpty()
            ? QStringLiteral("null")
            : QStringLiteral("(function(){try{return (%1);}catch(e){return null;}})()")
                  .arg(measureScript_);
    stringByEvaluatingJavaScript(
        QStringLiteral("(function(W,H,U){var f=(document.fonts && document.fonts.status==="
                       "'loading') ? 0 : 1,d=document.documentElement,b=document.body,"
                       "ready=f&&window.innerWidth===W&&window.innerHeight===H&&"
                       "location.href===U&&document.readyState==='complete';"
                       "return [f,window.innerWidth,window.innerHeight,location.href,"
                       "Math.max(d?d.scrollHeight:0,b?b.scrollHeight:0),document.readyState,"
                       "ready?%4:null];})(%1,%2,%3)")
            .arg(width())
            .arg(height())
            .arg(scriptStringLiteral(pageUrl_.toString()), measure),
        [self, generation, probe, attempt](const QVariant& result) {
            if (!self || generation != self->generation_ || probe != self->probe_ ||
                !self->loading_)
                return;
            const QVariantList r = result.toList();
            const bool ours = QUrl(r.value(3).toString()) == self->pageUrl_ &&
                              r.value(5).toString() == QLatin1String("complete");
            const bool fonts = r.value(0).toInt() == 1;
            const bool sized =
                r.value(1).toInt() == self->width() && r.value(2).toInt() == self->height();
            // The current document not there yet: keep looking, and give the load up as failed
            // when it never comes.
            if (!ours && attempt >= 3000) {
                self->finishLoad(false);
                return;
            }
            // A navigation started while the one before it was committing can be dropped by
            // the engine, which then stays on the earlier document: ask for ours again.
            if (!ours && attempt % 100 == 60 && !self->page()->isLoading()) {
                static_cast<ReaderPage*>(self->page())->expected = self->pageUrl_;
                self->setUrl(self->pageUrl_);
            }
            if (!ours || ((!fonts || !sized) && attempt < 1000)) {
                QTimer::singleShot(attempt < 20 ? 0 : (ours ? 3 : 10), self,
                                   [self, generation, probe, attempt] {
                                       if (self && generation == self->generation_ &&
                                           probe == self->probe_)
                                           self->waitForFonts(attempt + 1);
                                   });
                return;
            }
            self->loadedHeight_ = r.value(4).toInt();
            // Measured only when the page found itself ready as the view did; a page that
            // never settled leaves it to the owner to measure.
            self->loadedMeasurement_ = (fonts && sized) ? r.value(6) : QVariant();
            self->finishLoad(true);
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
