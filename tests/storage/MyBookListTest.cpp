#include <QJsonDocument>
#include <gtest/gtest.h>

#include "storage/MyBookList.h"

namespace {

// Elements as the JSON decoder hands them over: numbers are doubles, null is a null value.
QVariantMap element(const char* json) {
    return QJsonDocument::fromJson(QByteArray(json)).toVariant().toMap();
}

} // namespace

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
}
