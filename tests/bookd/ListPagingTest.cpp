// Every list kind bookd serves pages its books by eleven: each page holds what remains of the
// list, up to eleven books, and a page beyond the end holds none. The totals are checked
// against the sample catalog itself, so an answer with the right count and no books fails.
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>

#include <gtest/gtest.h>

#include "tests/bookd/BookdHarness.h"
#include "tools/bookd/SampleCatalog.h"

using namespace bookdtest;

namespace {

struct ListKind {
    QString path;
    QVariantMap params;
    int expectedCount; // from the sample catalog; -1 when any positive total is right
    std::function<bool(const QJsonObject&)> belongs; // a book this list may hold
};

int countBooks(const std::function<bool(const SampleBook&)>& pred) {
    int n = 0;
    for (const SampleBook& b : SampleCatalog::books())
        n += pred(b) ? 1 : 0;
    return n;
}

// The books of one list, page by page to one page beyond the end.
void walk(const ListKind& kind) {
    const Reply first = call(kind.path, page(kind.params, 1));
    ASSERT_TRUE(first.ok()) << first.body.toStdString();
    const int count = text(first.json.value("count")).toInt();
    if (kind.expectedCount >= 0) {
        EXPECT_EQ(count, kind.expectedCount);
    }
    ASSERT_GT(count, 0) << "the sample catalog fills every list kind";
    const int pages = (count + 10) / 11;
    QSet<int> seen;
    for (int n = 1; n <= pages + 1; ++n) {
        const Reply r = n == 1 ? first : call(kind.path, page(kind.params, n));
        ASSERT_TRUE(r.ok()) << "page " << n;
        EXPECT_EQ(text(r.json.value("count")).toInt(), count) << "page " << n;
        const QJsonArray books = r.json.value("books").toArray();
        EXPECT_EQ(books.size(), std::max(0, std::min(11, count - (n - 1) * 11))) << "page " << n;
        for (const QJsonValue& b : books) {
            const QJsonObject o = b.toObject();
            seen.insert(o.value("book_id").toInt());
            EXPECT_TRUE(kind.belongs(o))
                << "page " << n << ": " << o.value("title").toString().toStdString();
        }
    }
    EXPECT_EQ(seen.size(), count) << "the pages together hold every book once";
}

} // namespace

TEST(BookdListPaging, EveryListKindHoldsItsBooksPageByPage) {
    ASSERT_TRUE(shared().started());
    const auto any = [](const QJsonObject&) { return true; };
    const QList<SampleBook> books = SampleCatalog::books();
    const QString keyword = QStringLiteral("剑");
    const auto matches = [keyword](const QJsonObject& o) {
        return o.value("title").toString().contains(keyword) ||
               o.value("author").toString().contains(keyword);
    };

    QList<ListKind> kinds = {
        {"/data/suggest",
         {{"category", "daily"}},
         countBooks([](const SampleBook& b) { return b.dailyRank > 0; }),
         any},
        {"/data/suggest",
         {{"category", "popular"}},
         countBooks([](const SampleBook& b) { return b.popularRank > 0; }),
         any},
        {"/data/booklist", {{"order", "read"}}, int(books.size()), any},
        {"/data/booklist", {{"order", "favouite"}}, int(books.size()), any},
        {"/data/booklist",
         {{"keyword", keyword}},
         countBooks([&](const SampleBook& b) {
             return b.title.contains(keyword) || b.author.contains(keyword);
         }),
         matches},
    };
    // Every category, so that both a list of several pages and a short one are walked.
    for (const SampleCategory& c : SampleCatalog::categories()) {
        const int id = c.id;
        kinds.append({"/data/booklist",
                      {{"category", QString::number(id)}},
                      countBooks([id](const SampleBook& b) { return b.categoryId == id; }),
                      [id](const QJsonObject& o) {
                          return o.value("category").toObject().value("id").toInt() == id;
                      }});
    }
    for (const ListKind& kind : kinds) {
        SCOPED_TRACE(
            (kind.path + " " + kind.params.firstKey() + "=" + kind.params.first().toString())
                .toStdString());
        walk(kind);
    }
}

TEST(BookdListPaging, KeywordsWithAmpersandPlusAndChineseAreAnsweredAsSent) {
    ASSERT_TRUE(shared().started());
    // A keyword holding "&" or "+" comes back as typed, so the search is answered, not refused.
    for (const QString& keyword : {QStringLiteral("C++ & 剑"), QStringLiteral("a+b"),
                                   QStringLiteral("剑&"), QStringLiteral("剑")}) {
        const Reply r = call("/data/booklist", page({{"keyword", keyword}}, 1));
        EXPECT_TRUE(r.ok()) << keyword.toStdString() << ": " << r.body.toStdString();
        const int expected = countBooks([&](const SampleBook& b) {
            return b.title.contains(keyword.trimmed()) || b.author.contains(keyword.trimmed());
        });
        EXPECT_EQ(text(r.json.value("count")).toInt(), expected) << keyword.toStdString();
        EXPECT_EQ(r.json.value("books").toArray().size(), std::min(11, expected))
            << keyword.toStdString();
    }
}
