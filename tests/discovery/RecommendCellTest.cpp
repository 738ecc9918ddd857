// The book row: its three lines and its cover's address.
#include <QLabel>
#include <gtest/gtest.h>

#include "catalog/RecommendCell.h"
#include "widgets/EGOImageButton.h"

namespace {

MyBookList book(const QString& cover, const QString& site) {
    return MyBookList::initWithDictionary(
        {{QStringLiteral("book_id"), QStringLiteral("42")},
         {QStringLiteral("title"),
          QStringLiteral("一个名字很长很长很长很长很长很长很长很长的故事")},
         {QStringLiteral("author"), QStringLiteral("佚名")},
         {QStringLiteral("coverimg"), cover},
         {QStringLiteral("category"),
          QVariantMap{{QStringLiteral("name"), QStringLiteral("都市")}}},
         {QStringLiteral("source_site_name"), site}});
}

TEST(RecommendCell, ShowsTheBookAndOnlyTheCoverItHas) {
    RecommendCell cell;
    cell.resize(308, RecommendCell::kRowHeight);
    cell.setBook(book(QStringLiteral("http://127.0.0.1:1/c.jpg"), QStringLiteral("乙站")));
    EXPECT_EQ(cell.tag(), 42);
    EXPECT_EQ(cell.authorNameLabel()->text(), QStringLiteral("作者: 佚名"));
    EXPECT_EQ(cell.categoryLabel()->text(), QStringLiteral("分类: 都市"));
    EXPECT_EQ(cell.imagePhoto()->imageURL(), QUrl(QStringLiteral("http://127.0.0.1:1/c.jpg")));
    // One line, cut at the tail.
    EXPECT_TRUE(cell.bookNameLabel()->text().endsWith(QChar(0x2026)));
    EXPECT_LE(cell.bookNameLabel()->fontMetrics().horizontalAdvance(cell.bookNameLabel()->text()),
              cell.bookNameLabel()->width());

    // Reused for a book without a cover: the placeholder, and the earlier address forgotten.
    cell.setBook(book(QString(), QString()), RecommendCell::ThirdLine::SourceSite);
    EXPECT_TRUE(cell.imagePhoto()->imageURL().isEmpty());
    EXPECT_TRUE(cell.imagePhoto()->showsPlaceholder());
    EXPECT_EQ(cell.categoryLabel()->text(), QStringLiteral("来源站点: 未知"));
}

} // namespace
