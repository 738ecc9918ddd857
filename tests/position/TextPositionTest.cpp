// Page starts and the page of a character, from the page's answer.
#include <gtest/gtest.h>

#include "reader/TextPosition.h"

namespace {

TextPosition positionOf(const QVariantList& starts, int pages) {
    TextPosition p;
    EXPECT_TRUE(p.setStarts(starts, pages));
    return p;
}

TEST(TextPositionTest, FindsThePageOfACharacterAcrossPagesWithoutAStartOfTheirOwn) {
    // Page 3 holds no first character (an empty stretch): page 4 starts at 250 as well.
    const TextPosition p = positionOf({0, 120, 250, 250, 400}, 6);
    EXPECT_EQ(p.pageCount(), 6);
    EXPECT_EQ(p.startOfPage(1), 0);
    EXPECT_EQ(p.startOfPage(2), 120);
    EXPECT_EQ(p.startOfPage(5), 400);
    EXPECT_EQ(p.startOfPage(6), -1); // after the last character
    EXPECT_EQ(p.startOfPage(0), -1);
    EXPECT_EQ(p.startOfPage(7), -1);
    EXPECT_EQ(p.pageOfOffset(0), 1);
    EXPECT_EQ(p.pageOfOffset(119), 1);
    EXPECT_EQ(p.pageOfOffset(120), 2);
    EXPECT_EQ(p.pageOfOffset(249), 2);
    EXPECT_EQ(p.pageOfOffset(250), 4);
    EXPECT_EQ(p.pageOfOffset(399), 4);
    // A character beyond the text (a shorter text since) is on the last page with text.
    EXPECT_EQ(p.pageOfOffset(100000), 5);
    EXPECT_EQ(p.pageOfOffset(-1), 0);
    // More starts than pages: the extra ones are dropped.
    const TextPosition q = positionOf({0, 10, 20, 30}, 2);
    EXPECT_EQ(q.pageOfOffset(25), 2);
}

TEST(TextPositionTest, AMalformedAnswerLeavesThePositionUnknown) {
    TextPosition p = positionOf({0, 5}, 2);
    for (const QVariant& bad :
         {QVariant(), QVariant(QStringLiteral("0,5")), QVariant(QVariantList{}),
          QVariant(QVariantList{3, 5}), QVariant(QVariantList{0, 9, 4}),
          QVariant(QVariantList{0, QStringLiteral("x")}), QVariant(QVariantList{0, -2}),
          QVariant(QVariantList{0, 1.5})}) {
        EXPECT_FALSE(p.setStarts(bad, 3)) << bad.toString().toStdString();
        EXPECT_FALSE(p.isKnown());
        EXPECT_EQ(p.startOfPage(1), -1);
        EXPECT_EQ(p.pageOfOffset(0), 0);
        p = positionOf({0, 5}, 2);
    }
    EXPECT_FALSE(p.setStarts(QVariantList{0}, 0));
}

TEST(TextPositionTest, TheAnchorStaysOnItsPageAndFollowsTurns) {
    const TextPosition p = positionOf({0, 100, 200, 300}, 4);
    ReadingAnchor a;
    EXPECT_EQ(a.follow(p, 1, 2), 100);
    // Pinned after a size change to a character inside page 3: kept while page 3 is shown.
    a.pin(250, 1, 3);
    EXPECT_EQ(a.follow(p, 1, 3), 250);
    EXPECT_EQ(a.follow(p, 1, 4), 300);
    EXPECT_EQ(a.follow(p, 1, 3), 200);
    // The same page number in another chapter is another place.
    a.pin(250, 1, 3);
    EXPECT_EQ(a.follow(p, 2, 3), 200);
    a.reset();
    EXPECT_EQ(a.follow(TextPosition(), 2, 3), -1);
}

} // namespace
