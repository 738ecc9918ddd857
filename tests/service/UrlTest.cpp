#include <QUrl>
#include <gtest/gtest.h>

#include "service/Service.h"
#include "service/ServiceConfig.h"

namespace {
class UrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = ServiceConfig::baseUrl();
        lookup_ = ServiceConfig::lookupBase();
        store_ = ServiceConfig::storeId();
        ServiceConfig::setBaseUrl(QStringLiteral("http://books.test/"));
    }
    void TearDown() override {
        ServiceConfig::setBaseUrl(base_);
        ServiceConfig::setLookupBase(lookup_);
        ServiceConfig::setStoreId(store_);
    }
    QString base_, lookup_, store_;
};
} // namespace

TEST(EscapeTest, EscapesOnlyWhatMayNotStandInAUrl) {
    const QString kept = QStringLiteral("azAZ09-_.!~*'();/?:@&=+$,");
    EXPECT_EQ(Service::escape(kept), kept);
    EXPECT_EQ(Service::escape(QStringLiteral(" \"%<>\\^`{|}[]")),
              QStringLiteral("%20%22%25%3C%3E%5C%5E%60%7B%7C%7D%5B%5D"));
    EXPECT_EQ(Service::escape(QStringLiteral("书é")), QStringLiteral("%E4%B9%A6%C3%A9"));
    // A literal "#" would turn the rest of the query into a fragment.
    EXPECT_EQ(Service::escape(QStringLiteral("C#")), QStringLiteral("C%23"));
    EXPECT_EQ(Service::escape(QStringLiteral("a\nb")), QStringLiteral("a%0Ab"));
}

TEST(EscapeTest, UrlKeepsTheEscapedTextExactly) {
    const QString text = QStringLiteral("http://h:1/p?a=x y&b=1+2=3&c=!*'();:@$,/?&d=%41&e=[书]");
    const QUrl url = Service::urlFromText(text);
    ASSERT_TRUE(url.isValid());
    EXPECT_EQ(QString::fromLatin1(url.toEncoded()), Service::escape(text));
    EXPECT_EQ(url.host(), QStringLiteral("h"));
    EXPECT_EQ(url.port(), 1);
}

TEST_F(UrlTest, UnsignedFormatsUseRawParameters) {
    EXPECT_EQ(Service::alsoreadUrl(QStringLiteral("5")).toEncoded(),
              QByteArray("http://books.test/data/alsoread?book_id=5"));
    EXPECT_EQ(Service::menuUrl(QStringLiteral("5")).toEncoded(),
              QByteArray("http://books.test/data/menu?book_id=5"));
    EXPECT_EQ(Service::sitesNameUrl(QStringLiteral("5")).toEncoded(),
              QByteArray("http://books.test/data/getSitesNameByBookId?book_id=5"));
    EXPECT_EQ(Service::getcontentUrl(QStringLiteral("5"), QStringLiteral("1,2,3")).toEncoded(),
              QByteArray("http://books.test/data/getcontent?book_id=5&chapters=1,2,3"));
    EXPECT_EQ(Service::categorylistUrl().toEncoded(),
              QByteArray("http://books.test/data/categorylist"));
}

TEST_F(UrlTest, ConfigurationDropsTrailingSlashes) {
    EXPECT_EQ(ServiceConfig::baseUrl(), QStringLiteral("http://books.test"));
    ServiceConfig::setLookupBase(QStringLiteral("http://store.test//"));
    ServiceConfig::setStoreId(QStringLiteral("42"));
    EXPECT_EQ(Service::lookupUrl().toEncoded(), QByteArray("http://store.test/lookup?id=42"));
}
