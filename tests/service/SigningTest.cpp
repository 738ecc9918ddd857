#include <QCryptographicHash>
#include <QUrl>
#include <gtest/gtest.h>

#include "app/tooles.h"
#include "platform/UserDefaults.h"
#include "service/Endpoints.h"
#include "service/Service.h"
#include "service/ServiceConfig.h"

namespace {
// An MD5 computed independently of the code under test.
QString md5(const QString& text) {
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

const QString kSalt = QStringLiteral("Qm7tRvKe");

class SigningTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedBase_ = ServiceConfig::baseUrl();
        ServiceConfig::setBaseUrl(QStringLiteral("http://books.test:8090"));
    }
    void TearDown() override {
        ServiceConfig::setBaseUrl(savedBase_);
        UserDefaults::standard().removeObjectForKey(QStringLiteral("user_token"));
    }
    QString savedBase_;
};
} // namespace

TEST_F(SigningTest, ListParametersSignInKeyOrderWithSaltedDigest) {
    const QVariantMap params{{QStringLiteral("category"), QStringLiteral("daily")},
                             {QStringLiteral("limit"), QStringLiteral("11")},
                             {QStringLiteral("page"), QStringLiteral("1")}};
    EXPECT_EQ(
        tooles::createURl(params).toStdString(),
        ("category=daily&limit=11&page=1&checksum=" + md5("daily|11|1" + kSalt)).toStdString());
}

TEST_F(SigningTest, KeysSortByTheirBytesAndNothingSignsTheSaltAlone) {
    const QVariantMap params{{QStringLiteral("token"), QStringLiteral("t0k")},
                             {QStringLiteral("page"), QStringLiteral("2")},
                             {QStringLiteral("book_id"), QStringLiteral("7")}};
    // "_" sorts before the letters: book_id comes before bookname would, page before token.
    EXPECT_TRUE(tooles::createURl(params).startsWith(QStringLiteral("book_id=7&page=2&token=t0k&")));
    EXPECT_EQ(tooles::createURl({}), QStringLiteral("&checksum=") + md5(kSalt));
}

TEST_F(SigningTest, ChineseKeywordIsHashedAsUtf8RawInQueryAndEscapedInUrl) {
    const QString keyword = QStringLiteral("斗破 苍穹");
    const QVariantMap params{{QStringLiteral("keyword"), keyword},
                             {QStringLiteral("page"), QStringLiteral("1")}};
    const QString query = tooles::createURl(params);
    EXPECT_TRUE(query.startsWith(QStringLiteral("keyword=") + keyword + QStringLiteral("&page=1")));
    EXPECT_TRUE(query.endsWith(md5(keyword + QStringLiteral("|1") + kSalt)));

    const QUrl url = Service::signedUrl(QLatin1String(Endpoints::booklist), params);
    const QByteArray wire = url.toEncoded();
    EXPECT_TRUE(wire.startsWith("http://books.test:8090/data/booklist?keyword="
                                "%E6%96%97%E7%A0%B4%20%E8%8B%8D%E7%A9%B9&page=1&checksum="))
        << wire.constData();
    // The service undoes the escaping and gets the keyword back.
    EXPECT_EQ(QUrl::fromPercentEncoding(wire), QStringLiteral("http://books.test:8090") +
                                                   QLatin1String(Endpoints::booklist) +
                                                   QLatin1Char('?') + query);
}

TEST_F(SigningTest, SeparatorsInAValueAreEscapedOnTheWireAndSignedAsTheyAre) {
    const QString text = QStringLiteral("a&b=c+d 100%#1");
    const QVariantMap params{{QStringLiteral("content"), text},
                             {QStringLiteral("type"), QStringLiteral("1")}};
    const QString query = tooles::createURl(params);
    EXPECT_TRUE(query.startsWith(QStringLiteral("content=") + text + QStringLiteral("&type=1")));
    const QString digest = md5(text + QStringLiteral("|1") + kSalt);
    EXPECT_TRUE(query.endsWith(digest));
    EXPECT_EQ(Service::signedQuery(params),
              QStringLiteral("content=a%26b%3Dc%2Bd%20100%25%231&type=1&checksum=") + digest);
    const QByteArray wire =
        Service::signedUrl(QLatin1String(Endpoints::feedbackForm), params).toEncoded();
    EXPECT_EQ(wire, "http://books.test:8090/feedback/form?content=a%26b%3Dc%2Bd%20100%25%231"
                    "&type=1&checksum=" +
                        digest.toLatin1());
}

TEST_F(SigningTest, NumbersAreWrittenInDecimal) {
    const QVariantMap params{{QStringLiteral("book_id"), QVariant::fromValue<qint64>(1234567)},
                             {QStringLiteral("chapter_id"), 12.0},
                             {QStringLiteral("page"), 3}};
    EXPECT_EQ(tooles::createURl(params),
              QStringLiteral("book_id=1234567&chapter_id=12&page=3&checksum=") +
                  md5(QStringLiteral("1234567|12|3") + kSalt));
}

TEST_F(SigningTest, SignedOutRequestCarriesOnePairAndOneValueFewer) {
    const QVariantMap base{{QStringLiteral("book_id"), QStringLiteral("9")}};

    UserDefaults::standard().setObject(QStringLiteral("user_token"), QStringLiteral("abc"));
    QVariantMap signedIn = base;
    Service::addToken(signedIn);
    EXPECT_EQ(tooles::createURl(signedIn), QStringLiteral("book_id=9&token=abc&checksum=") +
                                               md5(QStringLiteral("9|abc") + kSalt));

    UserDefaults::standard().removeObjectForKey(QStringLiteral("user_token"));
    QVariantMap signedOut = base;
    Service::addToken(signedOut);
    EXPECT_FALSE(signedOut.contains(QStringLiteral("token")));
    EXPECT_EQ(tooles::createURl(signedOut),
              QStringLiteral("book_id=9&checksum=") + md5(QStringLiteral("9") + kSalt));
}

TEST(GetMD5Test, DigestOfUtf8BytesAndNoValueForEmptyText) {
    EXPECT_EQ(GetMD5(QStringLiteral("abc")), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_EQ(GetMD5(QStringLiteral("书")), md5(QStringLiteral("书")));
    EXPECT_TRUE(GetMD5(QString()).isNull());
    EXPECT_TRUE(GetMD5(QStringLiteral("")).isNull());
}
