// The reading screen's page: position and labels on opening, the style toggle, brightness,
// font changes that shorten the chapter, the toolbar's seams and the bars.
#include <memory>

#include <gtest/gtest.h>

#include "platform/UserDefaults.h"
#include "platform/ui/Button.h"
#include "platform/ui/WebView.h"
#include "reader/BtnSetLightViewController.h"
#include "storage/BookDb.h"
#include "tests/reader/ReaderTestSupport.h"
#include "tests/support/TestUtil.h"
#include "widgets/WEPopoverController.h"

using namespace readertest;

namespace {

int shownOffset(ReadbooksViewController* r) {
    int y = -1;
    testutil::waitUntil([&] {
        r->webView()->currentScrollOffset([&](int v) { y = v; });
        testutil::spin(30);
        return y == r->metrics().offsetOfPage(r->currentPage);
    });
    return y;
}

// Waits until the page's text shows in this colour.
bool showsColor(ReadbooksViewController* r, const QString& color) {
    auto now = std::make_shared<QString>();
    return testutil::waitUntil([&] {
        r->webView()->stringByEvaluatingJavaScript(QStringLiteral("document.body.style.color"),
                                                   [now](const QVariant& v) { *now = v.toString(); });
        testutil::spin(30);
        return *now == color;
    });
}

class ReaderPageTest : public ReaderScreenTest {};

TEST_F(ReaderPageTest, OpensAtItsPageWithLabelsAndTurnsWithinTheChapter) {
    UserDefaults::standard().setObject(QStringLiteral("LightSizeId"), QStringLiteral("40"));
    seedBook(QStringLiteral("eight"), 10, {1, 2}, 8);
    ReadbooksViewController* r = open(QStringLiteral("eight"), 2, 5);
    EXPECT_EQ(r->allPage, 8);
    EXPECT_EQ(r->currentPage, 5);
    EXPECT_EQ(shownOffset(r), 4 * 480);
    EXPECT_EQ(r->indexLabel()->text(), QStringLiteral("5/8"));
    EXPECT_EQ(r->remainLabel()->text(), QStringLiteral("剩余3页"));
    EXPECT_EQ(r->titleLabel()->text(), QStringLiteral("第2章"));
    EXPECT_DOUBLE_EQ(r->lightAlpha(), 0.3);
    EXPECT_EQ(recorded(QStringLiteral("eight")), QStringLiteral("2/5"));

    // Taps by zone: the left edge back, the right edge forward, the middle shows the bars.
    r->handleBackgroundTap(QPointF(50, 300));
    EXPECT_EQ(r->currentPage, 4);
    r->handleBackgroundTap(QPointF(270, 300));
    r->handleBackgroundTap(QPointF(270, 300));
    EXPECT_EQ(r->currentPage, 6);
    EXPECT_EQ(shownOffset(r), 5 * 480);
    EXPECT_EQ(r->remainLabel()->text(), QStringLiteral("剩余2页"));
    EXPECT_EQ(recorded(QStringLiteral("eight")), QStringLiteral("2/6"));
    r->handleBackgroundTap(QPointF(160, 250));
    EXPECT_TRUE(r->navBarState);
    EXPECT_FALSE(nav->isNavigationBarHidden());
    EXPECT_TRUE(r->errorButton()->isVisible());
    r->handleBackgroundTap(QPointF(50, 300)); // only hides the bars
    EXPECT_FALSE(r->navBarState);
    EXPECT_EQ(r->currentPage, 6);
    EXPECT_TRUE(nav->isNavigationBarHidden());

    // The toolbar's seams do nothing.
    const int style = r->isWhiteBlack;
    r->showPopAction(128);
    EXPECT_EQ(r->isWhiteBlack, style);
    EXPECT_EQ(r->popoverController(), nullptr);

    // The brightness popover drives the dimming overlay; the next item replaces the popover.
    r->showPop(2);
    ASSERT_NE(r->popoverController(), nullptr);
    r->showPop(3);
    ASSERT_NE(r->popoverController(), nullptr);
    auto* light = qobject_cast<BtnSetLightViewController*>(r->popoverController()->contentView());
    ASSERT_NE(light, nullptr);
    light->moveSliderTo(80);
    EXPECT_DOUBLE_EQ(r->lightAlpha(), 0.1);
}

// The style toggle recolours the page in place and stores each change; switched while the next
// chapter still loads, it colours the new page.
TEST_F(ReaderPageTest, StyleToggleRecoloursInPlaceAndReachesAPageStillLoading) {
    UserDefaults::standard().setObject(QStringLiteral("ReadType"), 1);
    seedBook(QStringLiteral("style"), 3, {1, 2}, 3);
    ReadbooksViewController* r = open(QStringLiteral("style"), 1, 2);
    r->showPop(4);
    EXPECT_EQ(r->isWhiteBlack, 2);
    EXPECT_EQ(UserDefaults::standard().integerForKey(QStringLiteral("ReadType")), 2);
    EXPECT_TRUE(showsColor(r, QStringLiteral("rgb(152, 152, 152)")));
    r->showPop(4);
    EXPECT_EQ(UserDefaults::standard().integerForKey(QStringLiteral("ReadType")), 1);
    EXPECT_TRUE(showsColor(r, QStringLiteral("rgb(0, 0, 0)")));
    // No reload: the page and the count stay.
    testutil::spin(200);
    EXPECT_EQ(layouts(r), 1);
    EXPECT_EQ(r->currentPage, 2);
    EXPECT_EQ(shownOffset(r), 480);

    r->changePlan(QStringLiteral("2"));
    ASSERT_TRUE(r->webView()->isLoading());
    r->showPop(4);
    ASSERT_TRUE(waitForLayouts(r, 2));
    EXPECT_EQ(r->isWhiteBlack, 2);
    EXPECT_TRUE(showsColor(r, QStringLiteral("rgb(152, 152, 152)")));
}

TEST_F(ReaderPageTest, SmallerTypeKeepsThePageInsideTheChapter) {
    // Long paragraphs wrap: at 22 px they need more lines than at 16 px.
    QString text;
    const QString sentence = QStringLiteral(
        "天色将晚，山路上行人渐少。他背着包袱一步一步往镇上走去，心里想着明日的事情。");
    for (int i = 0; i < 20; ++i)
        text += QStringLiteral("<p>") + sentence + sentence + sentence + QStringLiteral("</p>");
    text += QStringLiteral("<p>完。</p>"); // the last page is only partly filled
    seedBook(QStringLiteral("font"), 1, {});
    QVariantMap c = chapter(QStringLiteral("font"), 1, 1);
    c.insert(QStringLiteral("content"), text);
    ASSERT_TRUE(BookDb().insertChapterAll(QStringLiteral("font"), chaptersAnswer({c})));
    BookDb::waitForBackgroundWrites();

    UserDefaults::standard().setObject(QStringLiteral("FontSizeId"), 22);
    ReadbooksViewController* r = open(QStringLiteral("font"), 1, 99);
    const int bigPages = r->allPage;
    const int before = layouts(r);
    r->changeFontSize(16);
    ASSERT_TRUE(waitForLayouts(r, before + 1));
    EXPECT_LT(r->allPage, bigPages);
    EXPECT_EQ(r->currentPage, r->allPage);
    EXPECT_EQ(r->remainLabel()->text(), QStringLiteral("剩余0页"));
    // The last page, partly empty, is still scrolled to in full.
    EXPECT_EQ(shownOffset(r), r->metrics().offsetOfPage(r->allPage));
}

} // namespace
