// The answers of every endpoint carry the fields the client reads, with the types it expects,
// over real HTTP and through the client's own request code.
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "service/Service.h"
#include "storage/MyBookList.h"
#include "tests/bookd/BookdHarness.h"

using namespace bookdtest;

namespace {

QString str(const char* s) {
    return QString::fromUtf8(s);
}

// The thirteen fields of a book in a list answer.
void expectBook(const QJsonValue& value) {
    ASSERT_TRUE(value.isObject());
    const QJsonObject b = value.toObject();
    SCOPED_TRACE(QJsonDocument(b).toJson(QJsonDocument::Compact).left(200).toStdString());
    EXPECT_TRUE(b.value("book_id").isDouble());
    EXPECT_FALSE(b.value("title").toString().isEmpty());
    EXPECT_FALSE(b.value("author").toString().isEmpty());
    EXPECT_TRUE(b.value("coverimg").isString());
    EXPECT_TRUE(b.value("category").toObject().value("name").isString());
    EXPECT_GT(b.value("last_chapter_number").toString().toInt(), 0);
    EXPECT_TRUE(b.value("last_chapter_title").toString().startsWith(str("第")));
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                    .match(b.value("last_update_time").toString())
                    .hasMatch());
    EXPECT_FALSE(b.value("status").toString().isEmpty());
    EXPECT_FALSE(b.value("intro").toString().isEmpty());
    const QJsonValue site = b.value("source_site_name");
    EXPECT_TRUE(site.isString() || site.isNull());
    EXPECT_TRUE(b.value("is_favouite").isDouble());
    EXPECT_GE(b.value("source_site_nums").toInt(), 1);
}

QVariantMap page(QVariantMap params, int n) {
    params.insert("limit", "11");
    params.insert("page", QString::number(n));
    return params;
}

class BookdContract : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(shared().started()); }
};

} // namespace

TEST_F(BookdContract, ListsPageByElevenAndEndWithNoBooks) {
    const QList<QPair<QString, QVariantMap>> lists = {
        {"/data/suggest", {{"category", "daily"}}},
        {"/data/suggest", {{"category", "popular"}}},
        {"/data/booklist", {{"order", "read"}}},
        {"/data/booklist", {{"order", "favouite"}}},
    };
    for (const auto& [path, params] : lists) {
        SCOPED_TRACE(path.toStdString() + " " + params.first().toString().toStdString());
        const Reply first = call(path, page(params, 1));
        ASSERT_TRUE(first.ok()) << first.body.toStdString();
        ASSERT_TRUE(first.json.value("count").isDouble());
        const int count = first.json.value("count").toInt();
        EXPECT_GT(count, 2 * 11) << "a list worth several pages";
        const int pages = Service::pageCount(count);
        QSet<int> seen;
        for (int n = 1; n <= pages + 1; ++n) {
            const Reply r = n == 1 ? first : call(path, page(params, n));
            ASSERT_TRUE(r.ok());
            EXPECT_EQ(r.json.value("count").toInt(), count);
            const QJsonArray books = r.json.value("books").toArray();
            const int expected = n < pages ? 11 : n == pages ? count - 11 * (pages - 1) : 0;
            EXPECT_EQ(books.size(), expected) << "page " << n;
            for (const QJsonValue& b : books) {
                expectBook(b);
                seen.insert(b.toObject().value("book_id").toInt());
            }
        }
        EXPECT_EQ(seen.size(), count) << "pages neither repeat nor skip books";
    }
}

TEST_F(BookdContract, RankingsAreOrderedAndCategoriesAndSearchFilter) {
    const Reply categories = fetch(Service::categorylistUrl());
    ASSERT_TRUE(categories.ok());
    const QJsonArray list = categories.json.value("category").toArray();
    ASSERT_GE(list.size(), 9);
    for (const QJsonValue& c : list) {
        bool numeric = false;
        Service::textOf(c.toObject().value("id").toVariant()).toInt(&numeric);
        EXPECT_TRUE(numeric);
        EXPECT_FALSE(c.toObject().value("name").toString().isEmpty());
    }

    const QString firstId = Service::textOf(list.first().toObject().value("id").toVariant());
    const Reply byCategory = call("/data/booklist", page({{"category", firstId}}, 1));
    ASSERT_TRUE(byCategory.ok());
    EXPECT_GT(byCategory.json.value("count").toInt(), 0);
    for (const QJsonValue& b : byCategory.json.value("books").toArray())
        EXPECT_EQ(QString::number(b.toObject().value("category").toObject().value("id").toInt()),
                  firstId);

    // A keyword matches titles and authors, and nothing else.
    const Reply search = call("/data/booklist", page({{"keyword", str("剑")}}, 1));
    ASSERT_TRUE(search.ok());
    EXPECT_GT(search.json.value("count").toInt(), 1);
    for (const QJsonValue& b : search.json.value("books").toArray()) {
        const QJsonObject o = b.toObject();
        EXPECT_TRUE(o.value("title").toString().contains(str("剑")) ||
                    o.value("author").toString().contains(str("剑")));
    }
    const Reply none = call("/data/booklist", page({{"keyword", "%"}}, 1));
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(none.json.value("count").toInt(), 0) << "a % in a keyword is a character";
    EXPECT_TRUE(none.json.value("books").toArray().isEmpty());

    const Reply read = call("/data/booklist", page({{"order", "read"}}, 1));
    ASSERT_TRUE(read.ok());
    EXPECT_FALSE(call("/data/booklist", page({{"order", "sideways"}}, 1)).ok());
    EXPECT_FALSE(call("/data/booklist", page({}, 1)).ok());
    EXPECT_FALSE(call("/data/suggest", page({{"category", "weekly"}}, 1)).ok());
}

TEST_F(BookdContract, BookDetailSitesAndAlsoRead) {
    const Reply info = call("/data/bookinfo", {{"book_id", "3"}});
    ASSERT_TRUE(info.ok());
    expectBook(info.json.value("book"));
    EXPECT_EQ(info.json.value("book").toObject().value("is_favouite").toInt(), 0);
    const Reply missing = call("/data/bookinfo", {{"book_id", "99999"}});
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.msg().isEmpty());

    const Reply also = fetch(Service::alsoreadUrl("3"));
    ASSERT_TRUE(also.ok());
    const QJsonArray books = also.json.value("books").toArray();
    EXPECT_FALSE(books.isEmpty());
    for (const QJsonValue& b : books) {
        expectBook(b);
        EXPECT_NE(b.toObject().value("book_id").toInt(), 3);
    }

    const Reply sites = fetch(Service::sitesNameUrl("3"));
    ASSERT_TRUE(sites.ok());
    EXPECT_EQ(sites.json.value("book_title"), info.json.value("book").toObject().value("title"));
    EXPECT_TRUE(sites.json.value("author").isString());
    const QJsonArray names = sites.json.value("source_site_names").toArray();
    EXPECT_EQ(names.size(), info.json.value("book").toObject().value("source_site_nums").toInt());
    for (const QJsonValue& s : names)
        EXPECT_FALSE(s.toObject().value("source_site_name").toString().isEmpty());
}

TEST_F(BookdContract, MenuAndChaptersInTheAskedOrder) {
    // Book 4 has twelve chapters: one past the first batch of ten plus one more.
    const Reply menu = fetch(Service::menuUrl("4"));
    ASSERT_TRUE(menu.ok());
    const QJsonArray entries = menu.json.value("chapter_list").toArray();
    ASSERT_EQ(entries.size(), 12);
    for (int i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(Service::textOf(entries[i].toObject().value("chapter_number").toVariant()),
                  QString::number(i + 1));
        EXPECT_FALSE(entries[i].toObject().value("title").toString().isEmpty());
    }

    const Reply content = fetch(Service::getcontentUrl("4", "12,3,13,11"));
    ASSERT_TRUE(content.ok());
    const QJsonArray chapters = content.json.value("chapters").toArray();
    ASSERT_EQ(chapters.size(), 3) << "chapter 13 does not exist";
    const QList<int> order = {12, 3, 11};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject c = chapters[i].toObject();
        EXPECT_EQ(Service::textOf(c.value("chapter_number").toVariant()).toInt(), order[i]);
        EXPECT_EQ(Service::textOf(c.value("book_id").toVariant()), "4");
        EXPECT_EQ(c.value("title").toString(),
                  entries[order[i] - 1].toObject().value("title").toString());
        const qsizetype bytes = c.value("content").toString().toUtf8().size();
        EXPECT_GE(bytes, 3 * 1024);
        EXPECT_LE(bytes, 10 * 1024);
        EXPECT_TRUE(c.value("content").toString().startsWith("<p>"));
    }
    const QJsonObject book = content.json.value("book").toObject();
    EXPECT_EQ(Service::textOf(book.value("book_id").toVariant()), "4");
    EXPECT_FALSE(book.value("title").toString().isEmpty());
    EXPECT_EQ(Service::textOf(book.value("last_chapter_number").toVariant()), "12");
    EXPECT_TRUE(book.value("coverimg").isString());

    // The reader's blocking fetches are POSTs with the parameters in the query.
    const Reply posted = fetch(Service::getcontentUrl("4", "1"), "POST");
    ASSERT_TRUE(posted.ok());
    EXPECT_EQ(posted.json.value("chapters").toArray().size(), 1);
    // The same chapter reads the same every time.
    EXPECT_EQ(posted.json.value("chapters")[0],
              fetch(Service::getcontentUrl("4", "1")).json.value("chapters")[0]);

    const Reply beyond = fetch(Service::getcontentUrl("4", "13,14"));
    ASSERT_TRUE(beyond.ok());
    EXPECT_TRUE(beyond.json.value("chapters").isNull());
    EXPECT_FALSE(fetch(Service::getcontentUrl("99999", "1")).ok());
}

TEST_F(BookdContract, CoversLoadFromTheirAddresses) {
    int png = 0, jpg = 0, none = 0;
    for (int n = 1; n <= 7; ++n) {
        const Reply r = call("/data/booklist", page({{"order", "read"}}, n));
        for (const QJsonValue& b : r.json.value("books").toArray()) {
            const QString cover = b.toObject().value("coverimg").toString();
            if (cover.isEmpty()) {
                ++none;
                continue;
            }
            if (png + jpg >= 4 && png > 0 && jpg > 0)
                continue;
            const Reply image = fetch(QUrl(cover));
            ASSERT_TRUE(image.finished) << cover.toStdString();
            EXPECT_EQ(image.status, 200);
            if (cover.endsWith(".png")) {
                ++png;
                EXPECT_TRUE(image.body.startsWith("\x89PNG"));
            } else {
                ++jpg;
                EXPECT_TRUE(cover.endsWith(".jpg"));
                EXPECT_TRUE(image.body.startsWith("\xff\xd8"));
            }
        }
    }
    EXPECT_GT(png, 0);
    EXPECT_GT(jpg, 0);
    EXPECT_GT(none, 0) << "some books have no cover";
    EXPECT_EQ(fetch(QUrl(shared().base() + "/covers/9.png")).status, 404) << "book 9 has none";
}

TEST_F(BookdContract, AnswersAreGzippedForTheClient) {
    const Reply menu = fetch(Service::menuUrl("1"));
    ASSERT_TRUE(menu.ok()) << "the client inflates what it asked to be gzipped";
    EXPECT_EQ(menu.contentEncoding, "gzip");
    EXPECT_EQ(menu.json.value("chapter_list").toArray().size(), 420);
}

TEST_F(BookdContract, LookupReportsTheConfiguredVersion) {
    const Reply r = fetch(Service::lookupUrl());
    ASSERT_TRUE(r.finished);
    const QJsonObject app = r.json.value("results").toArray().first().toObject();
    EXPECT_EQ(app.value("version").toString(), "1.0.0");
    EXPECT_TRUE(app.value("trackViewUrl").toString().startsWith("http"));
    EXPECT_FALSE(app.value("description").toString().isEmpty());

    BookServerOptions options;
    options.appVersion = "2.3.1";
    LocalBookd newer(options);
    ASSERT_TRUE(newer.started());
    const Reply other = fetch(QUrl(newer.base() + "/lookup?id=1000000001"));
    EXPECT_EQ(other.json.value("results")[0].toObject().value("version").toString(), "2.3.1");
    EXPECT_EQ(fetch(QUrl(newer.base() + "/lookup")).json.value("results").toArray().size(), 0);
}

TEST_F(BookdContract, EveryBookFillsTheClientsBookRecord) {
    int unknownSite = 0, books = 0;
    for (int n = 1; n <= 7; ++n) {
        const Reply r = call("/data/booklist", page({{"order", "favouite"}}, n));
        for (const QJsonValue& b : r.json.value("books").toArray()) {
            const MyBookList book = MyBookList::initWithDictionary(b.toObject().toVariantMap());
            ++books;
            EXPECT_FALSE(Service::textOf(book.myId()).isEmpty());
            EXPECT_FALSE(book.myTitle().isEmpty());
            EXPECT_FALSE(book.myCategory().value("name").toString().isEmpty());
            EXPECT_GT(Service::textOf(book.myLast_chapter_number()).toInt(), 0);
            EXPECT_FALSE(book.mySource_site_name().isEmpty());
            unknownSite += book.mySource_site_name() == QString::fromUtf8("未知站点");
            EXPECT_EQ(book.myFavorite(), "0");
            EXPECT_GE(book.mySource_site_nums().toInt(), 1);
        }
    }
    EXPECT_EQ(books, int(shared().server().store().rowCount("books")));
    EXPECT_EQ(unknownSite, 1) << "one book comes without a source site name";
}
