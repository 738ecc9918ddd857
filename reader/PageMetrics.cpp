#include "reader/PageMetrics.h"

#include <algorithm>

PageMetrics PageMetrics::forScreen(QSize screen) {
    PageMetrics m;
    m.W = screen.width();
    m.H = screen.height();
    const bool tall = screen.width() == 320 && screen.height() == 568;
    m.T = tall ? 34 : 38;
    m.B = 2 * m.T;
    m.P = m.H - 20 - m.B;
    return m;
}

int PageMetrics::pageCount(int documentHeight) const {
    if (P <= 0 || documentHeight <= 0)
        return 1;
    return std::max(1, (documentHeight + P - 1) / P);
}

int PageMetrics::offsetOfPage(int page) const {
    return page <= 1 ? 0 : (page - 1) * P;
}

QString PageLabels::index(int currentPage, int allPage) {
    return QStringLiteral("%1/%2").arg(currentPage).arg(allPage);
}

QString PageLabels::remaining(int currentPage, int allPage) {
    return QStringLiteral("剩余%1页").arg(allPage - currentPage);
}

PageGesture PageTaps::tap(double x, double y, const PageMetrics& m, bool barsShown) {
    if (barsShown)
        return PageGesture::ToggleBars;
    if (x < 100)
        return PageGesture::PreviousPage;
    if (x < m.W - 100 && y < 140)
        return PageGesture::PreviousPage;
    if (x > m.W - 100)
        return PageGesture::NextPage;
    if (x <= 100)
        return PageGesture::ToggleBars;
    if (y > m.H - 120)
        return PageGesture::NextPage;
    return PageGesture::ToggleBars;
}

PageGesture PageTaps::titleLabelTap(double x, const PageMetrics& m) {
    return x < m.W - 100 ? PageGesture::PreviousPage : PageGesture::NextPage;
}

int PageTaps::toolbarItemAt(double x) {
    if (x < 0)
        return 0;
    if (x < 64)
        return 1;
    for (int item = 2; item <= 5; ++item) {
        const double left = 64.0 * (item - 1);
        if (x > left && x < left + 64)
            return item;
    }
    return 0;
}

int clampPage(int page, int allPage) {
    return std::clamp(page, 1, std::max(1, allPage));
}
