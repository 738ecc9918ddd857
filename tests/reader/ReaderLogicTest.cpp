// The reader's arithmetic: page geometry, pages and labels, tap zones, the fetch policy,
// and the values the reading controls derive from the stored settings.
#include <gtest/gtest.h>

#include "reader/ChapterPolicy.h"
#include "reader/PageMetrics.h"
#include "reader/ReaderSettings.h"

namespace {

QList<int> range(int from, int to) {
    QList<int> r;
    for (int c = from; c <= to; ++c)
        r.append(c);
    return r;
}

TEST(PageMetricsTest, BothScreensGiveWholePagesOfLines) {
    const PageMetrics tall = PageMetrics::forScreen(QSize(320, 568));
    EXPECT_EQ(tall.T, 34);
    EXPECT_EQ(tall.B, 68);
    EXPECT_EQ(tall.P, 480);
    const PageMetrics small = PageMetrics::forScreen(QSize(320, 480));
    EXPECT_EQ(small.T, 38);
    EXPECT_EQ(small.B, 76);
    EXPECT_EQ(small.P, 384);
    // Lines are 32 px: a page edge must fall between two lines on either screen.
    EXPECT_EQ(tall.P % 32, 0);
    EXPECT_EQ(small.P % 32, 0);
    EXPECT_EQ(small.bottomStripY(), 480 - 20 - 38);
}

TEST(PageMetricsTest, PagesOffsetsAndLabels) {
    const PageMetrics m = PageMetrics::forScreen(QSize(320, 568));
    EXPECT_EQ(m.pageCount(2 * m.P), 2);
    EXPECT_EQ(m.pageCount(2 * m.P + 1), 3);
    EXPECT_EQ(m.pageCount(m.P - 1), 1);
    EXPECT_EQ(m.pageCount(0), 1); // an empty chapter still shows one page
    EXPECT_EQ(m.offsetOfPage(5), 4 * m.P);
    EXPECT_EQ(m.offsetOfPage(1), 0);
    EXPECT_EQ(m.offsetOfPage(0), 0);
    EXPECT_EQ(PageLabels::index(5, 8), QStringLiteral("5/8"));
    EXPECT_EQ(PageLabels::remaining(5, 8), QStringLiteral("剩余3页"));
    EXPECT_EQ(PageLabels::remaining(8, 8), QStringLiteral("剩余0页"));
    // A font change that shortens the chapter keeps the page inside it.
    EXPECT_EQ(clampPage(10, 6), 6);
    EXPECT_EQ(clampPage(0, 6), 1);
    EXPECT_EQ(clampPage(3, 0), 1);
}

TEST(PageTapsTest, ZonesOfThePage) {
    const PageMetrics m = PageMetrics::forScreen(QSize(320, 568));
    using G = PageGesture;
    EXPECT_EQ(PageTaps::tap(50, 300, m, false), G::PreviousPage);
    EXPECT_EQ(PageTaps::tap(m.W - 50, 300, m, false), G::NextPage);
    EXPECT_EQ(PageTaps::tap(160, 100, m, false), G::PreviousPage);
    EXPECT_EQ(PageTaps::tap(160, m.H - 100, m, false), G::NextPage);
    EXPECT_EQ(PageTaps::tap(160, 250, m, false), G::ToggleBars);
    EXPECT_EQ(PageTaps::tap(100, 300, m, false), G::ToggleBars);
    EXPECT_EQ(PageTaps::tap(100, m.H - 100, m, false), G::ToggleBars);
    EXPECT_EQ(PageTaps::tap(m.W - 100, 300, m, false), G::ToggleBars);
    for (double x : {10.0, 160.0, 310.0})
        EXPECT_EQ(PageTaps::tap(x, 100, m, true), G::ToggleBars);
    EXPECT_EQ(PageTaps::titleLabelTap(219, m), G::PreviousPage);
    EXPECT_EQ(PageTaps::titleLabelTap(220, m), G::NextPage);
}

TEST(PageTapsTest, ToolbarItemsAndTheirSeams) {
    EXPECT_EQ(PageTaps::toolbarItemAt(0), 1);
    EXPECT_EQ(PageTaps::toolbarItemAt(63.5), 1);
    EXPECT_EQ(PageTaps::toolbarItemAt(64), 0);
    EXPECT_EQ(PageTaps::toolbarItemAt(100), 2);
    EXPECT_EQ(PageTaps::toolbarItemAt(128), 0);
    EXPECT_EQ(PageTaps::toolbarItemAt(129), 3);
    EXPECT_EQ(PageTaps::toolbarItemAt(192), 0);
    EXPECT_EQ(PageTaps::toolbarItemAt(200), 4);
    EXPECT_EQ(PageTaps::toolbarItemAt(256), 0);
    EXPECT_EQ(PageTaps::toolbarItemAt(300), 5);
    EXPECT_EQ(PageTaps::toolbarItemAt(320), 0);
}

TEST(ChapterPolicyTest, RunsStopAtTheLastChapter) {
    EXPECT_EQ(ChapterPolicy::runAfter(14, 100), range(15, 24));
    EXPECT_EQ(ChapterPolicy::runAfter(10, 12), range(11, 12));
    EXPECT_TRUE(ChapterPolicy::runAfter(12, 12).isEmpty());
    EXPECT_EQ(ChapterPolicy::join(range(11, 13)), QStringLiteral("11,12,13"));
    EXPECT_EQ(ChapterPolicy::join({}), QString());
}

TEST(ChapterPolicyTest, ForwardTurnAtTheEndOfAChapter) {
    using F = ChapterPolicy::Forward;
    // Not on the last page: an ordinary turn, nothing fetched.
    F f = ChapterPolicy::forward(3, 8, 10, 100, 14, true);
    EXPECT_EQ(f.kind, F::NextPageInChapter);
    EXPECT_TRUE(f.readAhead.isEmpty());

    // Last page of the last chapter.
    EXPECT_EQ(ChapterPolicy::forward(8, 8, 100, 100, 100, false).kind, F::EndOfBook);

    // Highest stored 14, at chapter 10 of 100: read ahead 15…24, open 11.
    f = ChapterPolicy::forward(8, 8, 10, 100, 14, true);
    EXPECT_EQ(f.kind, F::NextChapter);
    EXPECT_EQ(f.readAhead, range(15, 24));

    // Highest stored 10 at chapter 10 of 12: blocking fetch of 11,12.
    f = ChapterPolicy::forward(8, 8, 10, 12, 10, false);
    EXPECT_EQ(f.kind, F::Fetch);
    EXPECT_EQ(f.fetch, range(11, 12));
    EXPECT_TRUE(f.readAhead.isEmpty());

    // Chapters 1…8 and 20 stored, at chapter 8: the gap is fetched from 9 on.
    f = ChapterPolicy::forward(4, 4, 8, 100, 20, false);
    EXPECT_EQ(f.kind, F::Fetch);
    EXPECT_EQ(f.fetch, range(9, 18));

    // The page may stand beyond a count not yet recomputed: still the end of the chapter.
    EXPECT_EQ(ChapterPolicy::forward(9, 8, 10, 100, 30, true).kind, F::NextChapter);

    // A book record that knows no later chapter: nothing to fetch, the book ends here.
    EXPECT_EQ(ChapterPolicy::forward(2, 2, 12, 11, 12, false).kind, F::EndOfBook);
}

TEST(ChapterPolicyTest, TableOfContentsRuns) {
    EXPECT_EQ(ChapterPolicy::tableOfContentsRun(25, 100), range(25, 34));
    EXPECT_EQ(ChapterPolicy::tableOfContentsRun(100, 100), range(100, 100));
    // The tapped chapter itself is always part of the run.
    EXPECT_EQ(ChapterPolicy::tableOfContentsRun(1, 30), range(1, 10));
    EXPECT_EQ(ChapterPolicy::tableOfContentsRun(1, 1), range(1, 1));
    // A book record behind the menu still fetches the tapped chapter.
    EXPECT_EQ(ChapterPolicy::tableOfContentsRun(40, 30), range(40, 40));
}

TEST(ReaderSettingsTest, StoredValuesAndTheirDefaults) {
    EXPECT_EQ(ReaderSettings::fontSize(QVariant()), 14.0);
    EXPECT_EQ(ReaderSettings::fontSize(QStringLiteral("18")), 18.0);
    EXPECT_EQ(ReaderSettings::fontSize(20), 20.0);
    EXPECT_EQ(ReaderSettings::readType(QVariant()), 1);
    EXPECT_EQ(ReaderSettings::readType(0), 1);
    EXPECT_EQ(ReaderSettings::readType(2), 2);
    EXPECT_EQ(ReaderSettings::toggledReadType(ReaderSettings::toggledReadType(1)), 1);
    EXPECT_EQ(ReaderSettings::fontColor(2), QStringLiteral("#989898"));
    EXPECT_DOUBLE_EQ(ReaderSettings::overlayAlpha(ReaderSettings::brightness(QStringLiteral("40"))),
                     0.3);
    EXPECT_DOUBLE_EQ(ReaderSettings::overlayAlpha(ReaderSettings::brightness(QVariant())), 0.5);
    EXPECT_DOUBLE_EQ(ReaderSettings::overlayAlpha(100), 0.0);
    EXPECT_EQ(ReaderSettings::sliderBrightness(QVariant()), 100.0);
}

TEST(ReaderSettingsTest, PopoverMappings) {
    EXPECT_EQ(ReaderSettings::fontSegment(18), 1);
    EXPECT_EQ(ReaderSettings::fontSegment(QStringLiteral("18")), 1);
    EXPECT_EQ(ReaderSettings::fontSegment(14), -1);
    EXPECT_EQ(ReaderSettings::fontSegment(QVariant()), -1);
    EXPECT_EQ(ReaderSettings::fontSizeOfSegment(3), 22);
    EXPECT_EQ(ReaderSettings::brightnessText(39.6), QStringLiteral("40"));
    EXPECT_EQ(ReaderSettings::brightnessText(0.4), QStringLiteral("0"));
    EXPECT_EQ(ReaderSettings::brightnessText(100), QStringLiteral("100"));

    const ReaderSettings::JumpRange r = ReaderSettings::jumpRange(3, 12, 7);
    EXPECT_EQ(r.minimum, 3);
    EXPECT_EQ(r.maximum, 12);
    EXPECT_EQ(r.value, 7);
    EXPECT_EQ(ReaderSettings::jumpRange(3, 12, 0).value, 3);
    EXPECT_EQ(ReaderSettings::jumpText(6.6), QStringLiteral("7"));
}

TEST(ReaderSettingsTest, PageDocumentKeepsTheChapterTextAsItIs) {
    const QString body = QStringLiteral("<p>第一章 %1 & %2</p>");
    const QString doc = ReaderSettings::pageDocument(18, QStringLiteral("#000000"), body);
    EXPECT_TRUE(doc.startsWith(QStringLiteral("<html> \n<head> \n<script")));
    EXPECT_TRUE(doc.contains(QStringLiteral(
        "font-family: \"Arial\"; font-size: 18.000000; color: #000000;line-height: 32px;")));
    EXPECT_TRUE(doc.endsWith(QStringLiteral("<body  onload=\"OnLoad()\">") + body +
                             QStringLiteral("</body> \n</html>")));
}

} // namespace
