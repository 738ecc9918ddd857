#include <QJsonDocument>
#include <gtest/gtest.h>

#include "storage/MyBookList.h"

namespace {

// Elements as the JSON decoder hands them over: numbers are doubles, null is a null value.
QVariantMap element(const char* json) {
    return QJsonDocument::fromJson(QByteArray(json)).toVariant().toMap();
}

} // namespace

TEST(MyBookList, StringAnswerFillsEveryPropertyAsItArrived) {
    const MyBookList b = MyBookList::initWithDictionary(element(R"({
        "book_id": "1024", "title": "Night Rain", "author": "Lin", "coverimg": "http://x/c.jpg",
        "category": {"id": 3, "name": "Wuxia"}, "last_chapter_number": "88",
        "last_chapter_title": "The End", "last_update_time": "2013-05-01 10:00",
        "status": "连载中", "intro": "<p>Once</p>", "source_site_name": "Site A",
        "is_favouite": "1", "source_site_nums": "4"})"));
    EXPECT_EQ(b.myId(), QVariant(QStringLiteral("1024")));
    EXPECT_EQ(b.myTitle(), QStringLiteral("Night Rain"));
    EXPECT_EQ(b.myAuthor(), QStringLiteral("Lin"));
    EXPECT_EQ(b.myCover(), QStringLiteral("http://x/c.jpg"));
    EXPECT_EQ(b.myCategory().value("name"), QStringLiteral("Wuxia"));
    EXPECT_EQ(b.myLast_chapter_number(), QVariant(QStringLiteral("88")));
    EXPECT_EQ(b.myLast_chapter_title(), QStringLiteral("The End"));
    EXPECT_EQ(b.myLast_update_time(), QStringLiteral("2013-05-01 10:00"));
    EXPECT_EQ(b.myStatus(), QStringLiteral("连载中"));
    EXPECT_EQ(b.myIntro(), QStringLiteral("<p>Once</p>"));
    EXPECT_EQ(b.mySource_site_name(), QStringLiteral("Site A"));
    EXPECT_EQ(b.myFavorite(), QStringLiteral("1"));
    EXPECT_EQ(b.mySource_site_nums(), QStringLiteral("4"));
}

TEST(MyBookList, NumbersBecomeTextWhereTextIsNeededAndTheIdStaysANumber) {
    const MyBookList b = MyBookList::initWithDictionary(
        element(R"({"book_id": 1024, "is_favouite": 0, "source_site_nums": 12,
                    "last_chapter_number": 88})"));
    EXPECT_NE(b.myId().typeId(), QMetaType::QString);
    EXPECT_EQ(b.myId().toLongLong(), 1024);
    EXPECT_EQ(b.myLast_chapter_number().toInt(), 88);
    EXPECT_EQ(b.myFavorite(), QStringLiteral("0"));
    EXPECT_EQ(b.mySource_site_nums(), QStringLiteral("12"));

    // Decoders that give doubles: still "1" and "3", never "1.0".
    const MyBookList d = MyBookList::initWithDictionary(
        {{"is_favouite", 1.0}, {"source_site_nums", 3.0}, {"book_id", 5.0}});
    EXPECT_EQ(d.myFavorite(), QStringLiteral("1"));
    EXPECT_EQ(d.mySource_site_nums(), QStringLiteral("3"));
    EXPECT_EQ(d.myId(), QVariant(5.0));
}

TEST(MyBookList, NullAndAbsentFieldsAreToldApart) {
    const MyBookList nulls = MyBookList::initWithDictionary(
        element(R"({"source_site_name": null, "title": null, "is_favouite": null,
                    "category": null, "book_id": null})"));
    EXPECT_EQ(nulls.mySource_site_name(), QStringLiteral("未知站点"));
    EXPECT_TRUE(nulls.myTitle().isNull());
    EXPECT_TRUE(nulls.myFavorite().isNull());
    EXPECT_TRUE(nulls.myCategory().isEmpty());
    EXPECT_FALSE(nulls.myId().isValid());

    const MyBookList absent = MyBookList::initWithDictionary({});
    EXPECT_TRUE(absent.mySource_site_name().isNull()); // no value, not "未知站点"
    EXPECT_TRUE(absent.myCover().isNull());
    EXPECT_TRUE(absent.myFavorite().isNull());
    EXPECT_TRUE(absent.mySource_site_nums().isNull());
    EXPECT_TRUE(absent.myCategory().value("name").toString().isEmpty());
    EXPECT_FALSE(absent.myLast_chapter_number().isValid());

    // Setters copy: changing the copy leaves the original alone.
    MyBookList copy = nulls;
    copy.setMySource_site_name(QStringLiteral("Site B"));
    EXPECT_EQ(nulls.mySource_site_name(), QStringLiteral("未知站点"));
}
