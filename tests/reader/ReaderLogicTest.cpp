// The reader's arithmetic: page counts, tap zones and the fetch policy's edges. What the screens
// show of the same values (labels, runs fetched, the popovers' choices) is checked through the
// screens themselves.
#include <gtest/gtest.h>

#include "reader/ChapterPolicy.h"
#include "reader/PageMetrics.h"
#include "reader/ReaderSettings.h"

namespace {

TEST(PageMetricsTest, PagesOfWholeLinesAndTheirCounts) {
    const PageMetrics m = PageMetrics::forScreen(QSize(320, 568));
    // Lines are 32 px: a page edge must fall between two lines on either screen.
    EXPECT_EQ(m.P % 32, 0);
    EXPECT_EQ(PageMetrics::forScreen(QSize(320, 480)).P % 32, 0);
    EXPECT_EQ(m.pageCount(2 * m.P), 2);
    EXPECT_EQ(m.pageCount(2 * m.P + 1), 3);
    EXPECT_EQ(m.pageCount(0), 1); // an empty chapter still shows one page
    EXPECT_EQ(m.offsetOfPage(0), 0);
    // A page number outside the chapter comes back inside it.
    EXPECT_EQ(clampPage(0, 6), 1);
    EXPECT_EQ(clampPage(3, 0), 1);
}

TEST(PageTapsTest, ZonesOfThePageAndTheTitle) {
    const PageMetrics m = PageMetrics::forScreen(QSize(320, 568));
    using G = PageGesture;
    // Edges turn, bands above and below turn, the rest shows the bars; shown bars only hide.
    const struct {
        double x, y;
        G gesture;
    } taps[] = {{50, 300, G::PreviousPage}, {270, 300, G::NextPage},   {160, 100, G::PreviousPage},
                {160, 468, G::NextPage},    {160, 250, G::ToggleBars}, {100, 300, G::ToggleBars},
                {100, 468, G::ToggleBars},  {220, 300, G::ToggleBars}, {10, 100, G::PreviousPage}};
    for (const auto& t : taps) {
        EXPECT_EQ(PageTaps::tap(t.x, t.y, m, false), t.gesture) << t.x << "," << t.y;
        EXPECT_EQ(PageTaps::tap(t.x, t.y, m, true), G::ToggleBars) << t.x << "," << t.y;
    }
    EXPECT_EQ(PageTaps::titleLabelTap(219, m), G::PreviousPage);
    EXPECT_EQ(PageTaps::titleLabelTap(220, m), G::NextPage);
}

TEST(ChapterPolicyTest, EdgesOfTheForwardTurnAndOfTheRuns) {
    using F = ChapterPolicy::Forward;
    // Not on the last page: an ordinary turn, nothing fetched.
    const F f = ChapterPolicy::forward(3, 8, 10, 100, 14, true);
    EXPECT_EQ(f.kind, F::NextPageInChapter);
    EXPECT_TRUE(f.readAhead.isEmpty());
    // The page may stand beyond a count not yet recomputed: still the end of the chapter.
    EXPECT_EQ(ChapterPolicy::forward(9, 8, 10, 100, 30, true).kind, F::NextChapter);
    // A book record that knows no later chapter: nothing to fetch, the book ends here.
    EXPECT_EQ(ChapterPolicy::forward(2, 2, 12, 11, 12, false).kind, F::EndOfBook);
    EXPECT_TRUE(ChapterPolicy::runAfter(12, 12).isEmpty());
    // The tapped chapter itself is always part of a contents run, even past the book record.
    EXPECT_EQ(ChapterPolicy::tableOfContentsRun(100, 100), QList<int>{100});
    EXPECT_EQ(ChapterPolicy::tableOfContentsRun(40, 30), QList<int>{40});
}

// A stored reading style that is no longer offered falls back to day; the chapter text goes
// into the page untouched, placeholders and entities included.
TEST(ReaderSettingsTest, BadStoredStyleAndTheChapterTextAsItIs) {
    EXPECT_EQ(ReaderSettings::readType(0), 1);
    const QString body = QStringLiteral("<p>第一章 %1 & %2</p>");
    EXPECT_TRUE(ReaderSettings::pageDocument(18, QStringLiteral("#000000"), body).contains(body));
}

} // namespace
