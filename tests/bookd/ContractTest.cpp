// The answers of every endpoint carry the fields the client reads, with the types it expects,
// over real HTTP and through the client's own request code.
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "service/Service.h"
#include "storage/MyBookList.h"
#include "tests/bookd/BookdHarness.h"
#include "tools/bookd/SampleCatalog.h"

using namespace bookdtest;

namespace {

QString str(const char* s) {
    return QString::fromUtf8(s);
}

// The thirteen fields of a book in a list answer, and the client's record made from them.
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

    const MyBookList record = MyBookList::initWithDictionary(b.toVariantMap());
    EXPECT_EQ(Service::textOf(record.myId()), QString::number(b.value("book_id").toInt()));
    EXPECT_FALSE(record.mySource_site_name().isEmpty()) << "a book without a site still names one";
    EXPECT_EQ(record.myFavorite(), QString::number(b.value("is_favouite").toInt()));
}

class BookdContract : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(shared().started()); }
};

} // namespace

// Paging and filtering themselves are walked list by list in the paging tests.
TEST_F(BookdContract, ListsAndCategoriesCarryTheFieldsTheClientReads) {
    const QList<QPair<QString, QVariantMap>> lists = {
        {"/data/suggest", {{"category", "daily"}}},
        {"/data/suggest", {{"category", "popular"}}},
        {"/data/booklist", {{"order", "read"}}},
        {"/data/booklist", {{"order", "favouite"}}},
        {"/data/booklist", {{"keyword", str("剑")}}},
    };
    for (const auto& [path, params] : lists) {
        SCOPED_TRACE(path.toStdString() + " " + params.first().toString().toStdString());
        const Reply first = call(path, page(params, 1));
        ASSERT_TRUE(first.ok()) << first.body.toStdString();
        EXPECT_TRUE(first.json.value("count").isDouble());
        const QJsonArray books = first.json.value("books").toArray();
        EXPECT_FALSE(books.isEmpty());
        for (const QJsonValue& b : books)
            expectBook(b);
    }

    const Reply categories = fetch(Service::categorylistUrl());
    ASSERT_TRUE(categories.ok());
    const QJsonArray list = categories.json.value("category").toArray();
    ASSERT_GE(list.size(), 9);
    for (const QJsonValue& c : list) {
        bool numeric = false;
        text(c.toObject().value("id")).toInt(&numeric);
        EXPECT_TRUE(numeric);
        EXPECT_FALSE(c.toObject().value("name").toString().isEmpty());
    }

    const Reply none = call("/data/booklist", page({{"keyword", "%"}}, 1));
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(none.json.value("count").toInt(), 0) << "a % in a keyword is a character";
    EXPECT_TRUE(none.json.value("books").toArray().isEmpty());
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
    ASSERT_TRUE(menu.ok()) << "the client inflates what it asked to be gzipped";
    EXPECT_EQ(menu.contentEncoding, "gzip");
    const QJsonArray entries = menu.json.value("chapter_list").toArray();
    ASSERT_EQ(entries.size(), 12);
    for (int i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(text(entries[i].toObject().value("chapter_number")), QString::number(i + 1));
        EXPECT_FALSE(entries[i].toObject().value("title").toString().isEmpty());
    }

    const Reply content = fetch(Service::getcontentUrl("4", "12,3,13,11"));
    ASSERT_TRUE(content.ok());
    const QJsonArray chapters = content.json.value("chapters").toArray();
    ASSERT_EQ(chapters.size(), 3) << "chapter 13 does not exist";
    const QList<int> order = {12, 3, 11};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject c = chapters[i].toObject();
        EXPECT_EQ(text(c.value("chapter_number")).toInt(), order[i]);
        EXPECT_EQ(text(c.value("book_id")), "4");
        EXPECT_EQ(c.value("title").toString(),
                  entries[order[i] - 1].toObject().value("title").toString());
        EXPECT_TRUE(c.value("content").toString().startsWith("<p>"));
    }
    const QJsonObject book = content.json.value("book").toObject();
    EXPECT_EQ(text(book.value("book_id")), "4");
    EXPECT_FALSE(book.value("title").toString().isEmpty());
    EXPECT_EQ(text(book.value("last_chapter_number")), "12");
    EXPECT_TRUE(book.value("coverimg").isString());

    // The reader's blocking fetches are POSTs with the parameters in the query.
    const Reply posted = fetch(Service::getcontentUrl("4", "1"), "POST");
    ASSERT_TRUE(posted.ok());
    EXPECT_EQ(posted.json.value("chapters").toArray().size(), 1);

    const Reply beyond = fetch(Service::getcontentUrl("4", "13,14"));
    ASSERT_TRUE(beyond.ok());
    EXPECT_TRUE(beyond.json.value("chapters").isNull());
    EXPECT_FALSE(fetch(Service::getcontentUrl("99999", "1")).ok());
}

TEST_F(BookdContract, CoversLoadFromTheirAddresses) {
    // The first book of each kind: a PNG cover, a JPEG cover, and none at all.
    QSet<QString> kinds;
    for (const SampleBook& s : SampleCatalog::books()) {
        if (kinds.contains(s.coverType))
            continue;
        kinds.insert(s.coverType);
        SCOPED_TRACE(s.id);
        const Reply info = call("/data/bookinfo", {{"book_id", s.id}});
        const QString cover = info.json["book"].toObject().value("coverimg").toString();
        if (s.coverType.isEmpty()) {
            EXPECT_TRUE(cover.isEmpty());
            EXPECT_EQ(fetch(QUrl(shared().base() + QString("/covers/%1.png").arg(s.id))).status,
                      404);
            continue;
        }
        EXPECT_TRUE(cover.endsWith("." + s.coverType)) << cover.toStdString();
        const Reply image = fetch(QUrl(cover));
        EXPECT_EQ(image.status, 200);
        EXPECT_TRUE(image.body.startsWith(s.coverType == "png" ? "\x89PNG" : "\xff\xd8"));
    }
    EXPECT_EQ(kinds, (QSet<QString>{"png", "jpg", ""}));
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
