// The page the reader renders: what the chapter text is not allowed to do, and the line grid
// that keeps page edges between lines. Paging and scrolling are checked through the reader.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include "platform/ui/WebView.h"
#include "reader/PageMetrics.h"
#include "reader/ReaderSettings.h"
#include "tests/support/TestUtil.h"

namespace {

// A reader page of `lines` lines, each reading `mark`.
QString linesDoc(int lines, const QString& mark = QStringLiteral("行")) {
    QString body;
    for (int i = 0; i < lines; ++i)
        body += QStringLiteral("<div>%1</div>").arg(mark);
    return ReaderSettings::pageDocument(18, QStringLiteral("#000000"), body);
}

class WebViewPageTest : public ::testing::Test {
protected:
    // One view for every case here: starting the engine is the slow part.
    static void SetUpTestSuite() {
        view = new WebView();
        view->setUserStyleSheet(ReaderSettings::lineGridStyleSheet());
        view->show();
    }
    static void TearDownTestSuite() {
        delete view; // views go before the application object
        view = nullptr;
    }

    bool load(const QString& html, int pageHeight = 480) {
        WebView* v = view;
        v->resize(320, pageHeight);
        bool done = false;
        bool ok = false;
        auto c = QObject::connect(v, &WebView::didFinishLoad, v, [&](bool success) {
            done = true;
            ok = success;
        });
        v->loadHTMLString(html);
        testutil::waitUntil([&] { return done; }, 60000);
        QObject::disconnect(c);
        return done && ok;
    }

    QVariant eval(const QString& script) {
        QVariant result;
        bool done = false;
        view->stringByEvaluatingJavaScript(script, [&](const QVariant& v) {
            result = v;
            done = true;
        });
        testutil::waitUntil([&] { return done; }, 30000);
        return result;
    }

    int height() {
        int h = -1;
        view->documentHeight([&](int v) { h = v; });
        testutil::waitUntil([&] { return h >= 0; }, 30000);
        return h;
    }

    static inline WebView* view = nullptr;
};

TEST_F(WebViewPageTest, ChapterTextRunsNoScriptAndFetchesNothingButOursRuns) {
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    int connections = 0;
    QObject::connect(&listener, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* s = listener.nextPendingConnection()) {
            ++connections;
            s->deleteLater();
        }
    });
    const QString at = QStringLiteral("http://127.0.0.1:%1/").arg(listener.serverPort());
    const QString hostile =
        QStringLiteral("<style>@import url(\"%1import.css\");</style>"
                       "<link rel=\"stylesheet\" href=\"%1link.css\">"
                       "<p>正文</p><script>document.title='ran';</script>"
                       "<script src=\"%1script.js\"></script>"
                       "<img src=\"%1img.png\" onerror=\"document.title='onerror'\">"
                       "<iframe src=\"%1frame.html\"></iframe>"
                       "<object data=\"%1object.swf\"></object>"
                       "<form action=\"%1form\"><input name=\"q\" value=\"表单\" autofocus "
                       "onfocus=\"this.form.submit()\"></form>"
                       "<p style=\"background:url(%1bg.png)\">背景</p>"
                       "<meta http-equiv=\"refresh\" content=\"0;url=%1moved\">")
            .arg(at);
    ASSERT_TRUE(load(ReaderSettings::pageDocument(18, QStringLiteral("#000000"), hostile)));
    testutil::spin(1000);
    EXPECT_EQ(connections, 0);
    EXPECT_FALSE(listener.hasPendingConnections());
    EXPECT_EQ(eval(QStringLiteral("document.title")).toString(), QString());
    EXPECT_TRUE(eval(QStringLiteral("document.body.innerText.indexOf('背景')>=0")).toBool());
    EXPECT_TRUE(eval(QStringLiteral("document.body.innerHTML.indexOf('正文')>=0")).toBool());
    // Our own scripts still run, in their own world, and reach the page's DOM.
    eval(QStringLiteral("document.body.style.color='#989898'"));
    EXPECT_EQ(eval(QStringLiteral("document.body.style.color")).toString(),
              QStringLiteral("rgb(152, 152, 152)"));
    // Any text can be handed to our scripts as a string literal.
    const QString text = QStringLiteral("a\"b\\c\nd\re\u2028f\u2029g\th</script>'%1\x01");
    EXPECT_EQ(eval(WebView::scriptStringLiteral(text)).toString(), text);
}

// Whatever the type size, screen or markup of the chapter, a page edge falls between lines.
TEST_F(WebViewPageTest, NoLineIsCutByAPageEdge) {
    const QString body = QStringLiteral(
        "<h2>第一章 风起</h2><p>　　天色将晚，山路上行人渐少。他背着包袱，一步一步往镇上走去，"
        "心里想着明日的事情。</p><p>　　“你来了。”老人说。</p><br><div>　　夜深了。"
        "<b>风</b>吹过<i>树梢</i>，<sup>1</sup>远处传来犬吠。</div><ul><li>一</li><li>二</li>"
        "</ul><blockquote>　　引文一段，较长较长较长较长较长较长较长较长较长较长较长较长较长"
        "较长较长较长较长较长。</blockquote><h4>小节</h4><p>　　结尾。</p>");
    QString text;
    for (int i = 0; i < 12; ++i)
        text += body;
    const QString countCuts = QStringLiteral(
        "(function(P){var cut=0,n=0;var w=document.createTreeWalker(document.body,"
        "NodeFilter.SHOW_TEXT);var r=document.createRange();while(w.nextNode()){"
        "r.selectNodeContents(w.currentNode);var rs=r.getClientRects();for(var i=0;i<rs.length;"
        "i++){var a=rs[i].top+window.scrollY,b=rs[i].bottom+window.scrollY;if(b-a<1)continue;"
        "n++;if(Math.floor(a/P)!==Math.floor((b-0.5)/P))cut++;}}return [cut,n];})(%1)");
    for (int screenH : {568, 480}) {
        const PageMetrics m = PageMetrics::forScreen(QSize(320, screenH));
        for (int size : ReaderSettings::kFontSizes) {
            ASSERT_TRUE(
                load(ReaderSettings::pageDocument(size, QStringLiteral("#000000"), text), m.P));
            const QVariantList r = eval(countCuts.arg(m.P)).toList();
            ASSERT_EQ(r.size(), 2);
            EXPECT_GT(r[1].toInt(), 100) << "size " << size;
            EXPECT_EQ(r[0].toInt(), 0) << "size " << size << " screen " << screenH;
            EXPECT_EQ(height() % 32, 0) << "size " << size;
        }
    }
}

// Text in tables and form controls stays, paragraphs and headings stand apart by whole empty
// lines, and only images, frames, objects and rules are left out.
TEST_F(WebViewPageTest, TheChaptersStructureStaysOnTheLineGrid) {
    const QString body = QStringLiteral(
        "<h3 id=\"h\">第二章</h3><p id=\"a\">　　甲段。</p><p id=\"b\">　　乙段。</p>"
        "<table><tr><td id=\"cell\">表中文字</td><td>第二格</td></tr></table>"
        "<button id=\"btn\">按钮文字</button><input id=\"in\" value=\"输入\">"
        "<img id=\"img\" src=\"x.png\" width=\"200\" height=\"300\"><hr id=\"hr\">"
        "<p id=\"c\">　　丙段。</p>");
    ASSERT_TRUE(load(ReaderSettings::pageDocument(22, QStringLiteral("#000000"), body)));
    const QVariantList r =
        eval(QStringLiteral(
                 "(function(){function box(id){var e=document.getElementById(id);"
                 "var b=e.getBoundingClientRect();return [Math.round(b.top+scrollY),"
                 "Math.round(b.bottom+scrollY),Math.round(b.height)];}"
                 "return [box('h'),box('a'),box('b'),box('cell'),box('btn'),box('in'),"
                 "box('img')[2],box('hr')[2],document.body.innerText.indexOf('表中文字')>=0,"
                 "getComputedStyle(document.getElementById('h')).fontWeight];})()"))
            .toList();
    ASSERT_EQ(r.size(), 10);
    const auto top = [&](int i) { return r[i].toList().value(0).toInt(); };
    const auto bottom = [&](int i) { return r[i].toList().value(1).toInt(); };
    EXPECT_EQ(top(0), 0);
    EXPECT_EQ(top(1), bottom(0) + 32) << "a heading is set apart by an empty line";
    EXPECT_EQ(top(2), bottom(1) + 32) << "paragraphs are set apart by an empty line";
    EXPECT_EQ(r[3].toList().value(2).toInt(), 32) << "a table cell is a line of text";
    EXPECT_EQ(top(3) % 32, 0);
    EXPECT_EQ(r[4].toList().value(2).toInt(), 32);
    EXPECT_EQ(r[5].toList().value(2).toInt(), 32);
    EXPECT_EQ(r[6].toInt(), 0);
    EXPECT_EQ(r[7].toInt(), 0);
    EXPECT_TRUE(r[8].toBool());
    EXPECT_GE(r[9].toInt(), 600);
    EXPECT_EQ(height() % 32, 0);
}

// Beyond what a data: URL can carry: the whole text arrives, and the page is the new one.
TEST_F(WebViewPageTest, AChapterOfThreeMegabytesLoads) {
    ASSERT_TRUE(load(QStringLiteral("<p>短</p>")));
    QString text;
    const QString line = QStringLiteral("<div>长章节的一行文字，反复出现直到三兆字节。</div>");
    const qsizetype lineBytes = line.toUtf8().size();
    for (qsizetype bytes = 0; bytes < 3 * 1024 * 1024; bytes += lineBytes)
        text += line;
    text += QStringLiteral("<div id=\"end\">全文完</div>");
    ASSERT_GT(text.toUtf8().size(), 3 * 1000 * 1000);
    ASSERT_TRUE(load(ReaderSettings::pageDocument(18, QStringLiteral("#000000"), text)));
    EXPECT_TRUE(eval(QStringLiteral("!!document.getElementById('end')")).toBool());
    EXPECT_GT(view->loadedDocumentHeight(), 100000);
    EXPECT_EQ(view->loadedDocumentHeight(), height());
}

// A load started while the previous one is still finishing: only the second one reports after
// it started, and with its own height and measurement, however close together they come. (The
// first may have finished in full before the second started; then it reports as itself.)
TEST_F(WebViewPageTest, OfTwoLoadsInARowOnlyTheSecondReports) {
    WebView* v = view;
    v->resize(320, 480);
    // Each document says how many lines it has, measured as its load finishes.
    v->setLoadMeasurement(QStringLiteral("document.querySelectorAll('div').length"));
    for (int gapMs : {0, 5, 10, 20, 40}) {
        SCOPED_TRACE(gapMs);
        bool secondStarted = false;
        QList<int> first;  // lines reported before the second load started
        QList<int> second; // lines reported after
        QObject listening; // ends the connection however this step ends
        QObject::connect(v, &WebView::didFinishLoad, &listening, [&](bool ok) {
            const int lines = ok ? v->loadedMeasurement().toInt() : -1;
            (secondStarted ? second : first).append(lines);
        });
        v->loadHTMLString(linesDoc(100));
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < gapMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        secondStarted = true;
        v->loadHTMLString(linesDoc(30));
        ASSERT_TRUE(testutil::waitUntil([&] { return !second.isEmpty(); }, 60000));
        testutil::spin(300);
        EXPECT_TRUE(first.isEmpty() || first == QList<int>{100});
        EXPECT_EQ(second, QList<int>{30});
        EXPECT_EQ(v->loadedDocumentHeight(), 30 * 32);
        EXPECT_EQ(height(), 30 * 32);
    }
    v->setLoadMeasurement(QString());
}

} // namespace

// Views that follow each other, as readers do, are served by one renderer process, which also
// keeps a page of its own: a view reports its own document only, measured and laid out with its
// own style sheet, and a measurement that throws leaves the owner to measure.
TEST(WebViewSuccession, EachViewReportsOnlyItsOwnDocument) {
    const QString measure = QStringLiteral(
        "[document.querySelectorAll('div').length,document.body.innerText.indexOf('%1')>=0,"
        "getComputedStyle(document.querySelector('div')).verticalAlign]");
    WebView* previous = nullptr;
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        auto* v = new WebView();
        v->setUserStyleSheet(ReaderSettings::lineGridStyleSheet());
        v->resize(320, 480);
        v->show();
        // The previous view goes once this one exists, as when a reader replaces another.
        delete previous;
        const QString mark = QStringLiteral("第%1本").arg(round);
        v->setLoadMeasurement(round == 3 ? QStringLiteral("undefinedName.length")
                                         : measure.arg(mark));
        QList<bool> finishes;
        QObject::connect(v, &WebView::didFinishLoad, v, [&](bool ok) { finishes.append(ok); });
        v->loadHTMLString(linesDoc(20 + round, mark));
        ASSERT_TRUE(testutil::waitUntil([&] { return !finishes.isEmpty(); }, 60000));
        // The next view is made at once, while the page kept for the renderer may still be
        // loading, or a while later.
        QCoreApplication::processEvents();
        testutil::spin(round == 1 ? 300 : 0);
        EXPECT_EQ(finishes, QList<bool>{true});
        EXPECT_EQ(v->loadedDocumentHeight(), (20 + round) * 32);
        if (round == 3) {
            EXPECT_TRUE(v->loadedMeasurement().isNull());
        } else {
            const QVariantList m = v->loadedMeasurement().toList();
            ASSERT_EQ(m.size(), 3);
            EXPECT_EQ(m[0].toInt(), 20 + round);
            EXPECT_TRUE(m[1].toBool()) << "the measurement is of this view's document";
            EXPECT_EQ(m[2].toString(), QStringLiteral("top")) << "the view's style sheet applies";
        }
        previous = v;
    }
    delete previous;
}

// Regression: a reader closed while its freshly loaded page was still being measured crashed,
// because the engine answered the pending script while the view was being torn down.
TEST(WebViewLifetime, AnswersPendingWhenTheViewGoesAwayNeverArrive) {
    auto* doomed = new WebView();
    doomed->resize(320, 480);
    doomed->show();
    bool loaded = false;
    QObject::connect(doomed, &WebView::didFinishLoad, doomed, [&](bool) { loaded = true; });
    doomed->loadHTMLString(QStringLiteral("<p>一页</p>"));
    ASSERT_TRUE(testutil::waitUntil([&] { return loaded; }, 60000));

    int answers = 0;
    for (int i = 0; i < 5; ++i)
        doomed->documentHeight([&answers, doomed](int) {
            ++answers;
            doomed->isLoading(); // touches the view, as the reader does
        });
    delete doomed;
    testutil::spin(300);
    EXPECT_EQ(answers, 0);
}
