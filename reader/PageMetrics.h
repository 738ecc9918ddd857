#pragma once

#include <QSize>
#include <QString>

// The reader's page geometry and the arithmetic of pages: how tall a page is on a screen,
// how many pages a rendered chapter has, where a page starts, what the labels say, and what
// a tap on the page or the toolbar means. Screen sizes are in points.
struct PageMetrics {
    int W = 320; // screen width
    int H = 568; // screen height, the 20-point status strip included
    int T = 34;  // height of the title strip above the page and of the label strip below
    int B = 68;  // bottom allowance, 2 × T
    int P = 480; // page height: H − 20 − B

    // 320 × 568 is the tall display (640 × 1136 pixels): T 34; every other screen T 38.
    static PageMetrics forScreen(QSize screen);

    // Pages of a document of that height: ceil(height / P), at least 1.
    int pageCount(int documentHeight) const;
    // Scroll offset of a page (1-based): (page − 1) × P; page 0 and below give 0.
    int offsetOfPage(int page) const;

    // Where the bottom strip starts, and the label frames in it.
    int bottomStripY() const { return H - 20 - T; }
};

namespace PageLabels {
// "5/8"
QString index(int currentPage, int allPage);
// "剩余3页"
QString remaining(int currentPage, int allPage);
} // namespace PageLabels

// What a tap or swipe on the page does.
enum class PageGesture { PreviousPage, NextPage, ToggleBars };

namespace PageTaps {
// A tap at (x, y) in the page's coordinates: while the bars are shown it only toggles them;
// otherwise the left edge and the top band turn back, the right edge and the bottom band
// turn forward, the middle shows the bars.
PageGesture tap(double x, double y, const PageMetrics& m, bool barsShown);
// A tap on the chapter title label: the right 100 points turn forward, the rest back.
PageGesture titleLabelTap(double x, const PageMetrics& m);
// The toolbar item (1…5) under a tap at x, 0 for the seams between items and beyond.
int toolbarItemAt(double x);
} // namespace PageTaps

// A page number that stays inside the chapter: 1 ≤ page ≤ allPage.
int clampPage(int page, int allPage);
