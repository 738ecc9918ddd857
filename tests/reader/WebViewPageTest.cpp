// The page the reader renders: what the chapter text is not allowed to do, and the line grid
// that keeps page edges between lines. Paging and scrolling are checked through the reader.
#include <gtest/gtest.h>

#include "platform/ui/WebView.h"
#include "reader/PageMetrics.h"
#include "reader/ReaderSettings.h"
#include "tests/support/TestUtil.h"

namespace {

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

TEST_F(WebViewPageTest, ChapterTextRunsNoScriptAndFetchesNothing) {
    const QString hostile =
        QStringLiteral("<p>正文</p><script>document.title='ran';</script>"
                       "<img src=\"x\" onerror=\"document.title='onerror'\">"
                       "<iframe src=\"http://127.0.0.1:9/\"></iframe>"
                       "<meta http-equiv=\"refresh\" content=\"0;url=data:text/html,moved\">");
    ASSERT_TRUE(load(ReaderSettings::pageDocument(18, QStringLiteral("#000000"), hostile)));
    testutil::spin(300);
    EXPECT_EQ(eval(QStringLiteral("document.title")).toString(), QString());
    EXPECT_TRUE(eval(QStringLiteral("document.body.innerHTML.indexOf('正文')>=0")).toBool());
    // Our own scripts still run, in their own world, and reach the page's DOM.
    eval(QStringLiteral("document.body.style.color='#989898'"));
    EXPECT_EQ(eval(QStringLiteral("document.body.style.color")).toString(),
              QStringLiteral("rgb(152, 152, 152)"));
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

} // namespace

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
