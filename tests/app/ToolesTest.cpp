#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTimeZone>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/utsname.h>

#include "app/tooles.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/UserDefaults.h"
#include "tests/app/LogCapture.h"
#include "tests/support/FakeService.h"
#include "tests/support/TestUtil.h"

TEST(ChapterIdStrTest, AtMostTenNumbersAfterStartUpToCount) {
    EXPECT_EQ(tooles::getChapterIdStr(5, 5), QString());
    EXPECT_EQ(tooles::getChapterIdStr(9, 5), QString());
    EXPECT_EQ(tooles::getChapterIdStr(5, 6), QStringLiteral("6"));
    EXPECT_EQ(tooles::getChapterIdStr(7, 17), QStringLiteral("8,9,10,11,12,13,14,15,16,17"));
    EXPECT_EQ(tooles::getChapterIdStr(20, 25), QStringLiteral("21,22,23,24,25"));
    EXPECT_EQ(tooles::getChapterIdStr(0, 100), QStringLiteral("1,2,3,4,5,6,7,8,9,10"));
    // No wrap-around at the top of the range.
    EXPECT_EQ(tooles::getChapterIdStr(4294967290u, 4294967295u),
              QStringLiteral("4294967291,4294967292,4294967293,4294967294,4294967295"));
}

TEST(ValidationTest, MobileNumbers) {
    EXPECT_TRUE(tooles::isMobileNumber(QStringLiteral("13912345678")));
    EXPECT_TRUE(tooles::isMobileNumber(QStringLiteral("15012345678")));
    EXPECT_TRUE(tooles::isMobileNumber(QStringLiteral("18612345678")));
    EXPECT_TRUE(tooles::isMobileNumber(QStringLiteral("13490001234")));
    EXPECT_FALSE(tooles::isMobileNumber(QStringLiteral("1391234567")));   // 10 digits
    EXPECT_FALSE(tooles::isMobileNumber(QStringLiteral("139123456789"))); // 12 digits
    EXPECT_FALSE(tooles::isMobileNumber(QStringLiteral("23912345678")));
    EXPECT_FALSE(tooles::isMobileNumber(QStringLiteral("15412345678"))); // no carrier uses 154
    EXPECT_FALSE(tooles::isMobileNumber(QStringLiteral("13912345678\n")));
    EXPECT_FALSE(tooles::isMobileNumber(QStringLiteral("+8613912345678")));
    EXPECT_FALSE(tooles::isMobileNumber(QString()));
}

TEST(ValidationTest, EmailAddressesAndQQNumbers) {
    EXPECT_TRUE(tooles::isValidateEmail(QStringLiteral("reader.one+x@mail.example.com")));
    EXPECT_TRUE(tooles::isValidateEmail(QStringLiteral("a@b.info")));
    EXPECT_FALSE(tooles::isValidateEmail(QStringLiteral("a@b.c")));
    EXPECT_FALSE(tooles::isValidateEmail(QStringLiteral("a@b.museum")));
    EXPECT_FALSE(tooles::isValidateEmail(QStringLiteral("a b@c.com")));
    EXPECT_FALSE(tooles::isValidateEmail(QStringLiteral("x@y.com and more")));
    EXPECT_FALSE(tooles::isValidateEmail(QStringLiteral("noatsign.com")));

    EXPECT_TRUE(tooles::isValidateQQ(QStringLiteral("10000")));
    EXPECT_TRUE(tooles::isValidateQQ(QStringLiteral("1234567890")));
    EXPECT_FALSE(tooles::isValidateQQ(QStringLiteral("01234")));
    EXPECT_FALSE(tooles::isValidateQQ(QStringLiteral("1234")));
    EXPECT_FALSE(tooles::isValidateQQ(QStringLiteral("12345678901")));
    EXPECT_FALSE(tooles::isValidateQQ(QStringLiteral("12345\n")));
}

TEST(TextsTest, FlattenHtmlRemovesTagsAndNbspWithoutSpaces) {
    EXPECT_EQ(tooles::flattenHTML(QStringLiteral("<p>abc&nbsp;def</p>")), QStringLiteral("abcdef"));
    EXPECT_EQ(tooles::flattenHTML(QStringLiteral("\n  <div class=\"intro\">A<br/>B</div> \n")),
              QStringLiteral("AB"));
    EXPECT_EQ(tooles::flattenHTML(QStringLiteral("x<b>y</b>z<b>w</b>")), QStringLiteral("xyzw"));
    EXPECT_EQ(tooles::flattenHTML(QStringLiteral("  plain&nbsp;text \n")),
              QStringLiteral("plaintext"));
    EXPECT_EQ(tooles::flattenHTML(QString()), QString());
    EXPECT_FALSE(
        tooles::flattenHTML(QStringLiteral("<p>one</p>\n<p>two</p>")).contains(QLatin1Char('<')));
}

TEST(TextsTest, TrimReplaceAndExtension) {
    EXPECT_EQ(tooles::strTrim(QStringLiteral(" \t a b \r\n")), QStringLiteral("a b"));
    EXPECT_EQ(tooles::strReplace(QStringLiteral("a-b-c"), QStringLiteral("-"), QStringLiteral("+")),
              QStringLiteral("a+b+c"));
    EXPECT_EQ(tooles::strReplace(QStringLiteral("abc"), QString(), QStringLiteral("x")),
              QStringLiteral("abc"));
    EXPECT_EQ(tooles::getExtension(QStringLiteral("cover.JPG")), QStringLiteral("JPG"));
    EXPECT_EQ(tooles::getExtension(QStringLiteral("http://img.test/a/b.c/cover.png")),
              QStringLiteral("png"));
    EXPECT_EQ(tooles::getExtension(QStringLiteral("books.tar.gz")), QStringLiteral("gz"));
    EXPECT_EQ(tooles::getExtension(QStringLiteral("dir.d/file")), QString());
    EXPECT_EQ(tooles::getExtension(QStringLiteral("noext")), QString());
}

TEST(DatesTest, FormatsAndParsesInBeijingTime) {
    EXPECT_EQ(tooles::dateStr2int(QStringLiteral("2013-05-20 08:00:00"),
                                  QStringLiteral("yyyy-MM-dd HH:mm:ss")),
              QStringLiteral("1369008000"));
    EXPECT_EQ(tooles::dateStr2int(QStringLiteral("2013年05月20日"),
                                  QStringLiteral("yyyy'年'MM'月'dd'日'")),
              QStringLiteral("1368979200"));
    EXPECT_EQ(
        tooles::dateStr2int(QStringLiteral("yesterday-ish"), QStringLiteral("yyyy-MM-dd HH:mm:ss")),
        QStringLiteral("0"));
    EXPECT_EQ(tooles::dateStr2int(QString(), QStringLiteral("yyyyMMdd")), QStringLiteral("0"));

    const QDateTime monday(QDate(2013, 5, 20), QTime(12, 30, 5));
    // The pattern's quoted space stands between two literal ones.
    EXPECT_EQ(tooles::Date2StrV(monday), QStringLiteral("2013 - 05 - 20   星期一"));
    EXPECT_EQ(tooles::Date2Str(monday), QStringLiteral("20130520"));
    EXPECT_EQ(tooles::intTimeToStr(QString::number(monday.toSecsSinceEpoch())),
              QStringLiteral("2013-05-20 12:30:05"));

    Clock::setNow(QDateTime::fromSecsSinceEpoch(1369008000));
    EXPECT_EQ(tooles::currentTimeStr(), QStringLiteral("1369008000"));
    Clock::reset();
}

TEST(DeviceTest, MachineNamesMapToCodesAndUnknownOnesPassThrough) {
    EXPECT_EQ(tooles::deviceStringForMachine(QStringLiteral("x86_64")), QStringLiteral("SIL"));
    {
        testutil::LogCapture log;
        EXPECT_EQ(tooles::deviceStringForMachine(QStringLiteral("Pixel9,1")),
                  QStringLiteral("Pixel9,1"));
        EXPECT_EQ(log.count(QStringLiteral("NOTE: Unknown device type: Pixel9,1")), 1);
    }
    struct utsname info {};
    ASSERT_EQ(uname(&info), 0);
    EXPECT_EQ(tooles::deviceString(),
              tooles::deviceStringForMachine(QString::fromLocal8Bit(info.machine)));
}

TEST(FilesTest, DocumentsDirectoryHelpers) {
    testutil::ScopedHome home;
    const QString docs = Paths::documentsDir();
    EXPECT_EQ(tooles::getDir(QStringLiteral("books.sqlite")),
              docs + QStringLiteral("/books.sqlite"));
    EXPECT_EQ(tooles::getDir(QStringLiteral("/covers")), docs + QStringLiteral("/covers"));

    ASSERT_TRUE(QDir(docs).mkpath(QStringLiteral("covers")));
    QFile file(docs + QStringLiteral("/covers/7.jpg"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();
    EXPECT_TRUE(tooles::is_file_exist(QStringLiteral("covers/7.jpg")));
    EXPECT_FALSE(tooles::is_file_exist(QStringLiteral("covers/8.jpg")));

    // Never the documents directory itself.
    EXPECT_TRUE(tooles::WithNameDeleteDataFile(QString()));
    EXPECT_TRUE(tooles::WithNameDeleteDataFile(QStringLiteral(".")));
    EXPECT_TRUE(tooles::is_file_exist(QStringLiteral("covers/7.jpg")));

    // Nothing outside it, however the path gets there.
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    const QString victim = outside.filePath(QStringLiteral("keep.txt"));
    const QString sibling = QFileInfo(docs).path() + QStringLiteral("/keep-sibling.txt");
    for (const QString& f : {victim, sibling}) {
        QFile out(f);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("keep");
    }
    ASSERT_TRUE(QFile::link(outside.path(), docs + QStringLiteral("/linked")));
    const QString up = QDir(docs).relativeFilePath(victim);
    ASSERT_TRUE(up.startsWith(QStringLiteral("..")));
    for (const QString& p : {up, victim, QStringLiteral("../keep-sibling.txt"),
                             QStringLiteral("covers/../../keep-sibling.txt"), sibling,
                             QStringLiteral("linked/keep.txt"), QDir(docs).filePath("..")}) {
        EXPECT_TRUE(tooles::WithNameDeleteDataFile(p));
        EXPECT_TRUE(QFile::exists(victim)) << qPrintable(p);
        EXPECT_TRUE(QFile::exists(sibling)) << qPrintable(p);
    }
    EXPECT_TRUE(tooles::is_file_exist(QStringLiteral("covers/7.jpg")));
    QFile::remove(sibling);

    // An absolute path that stays inside is still a path under the documents directory.
    EXPECT_TRUE(tooles::WithNameDeleteDataFile(docs + QStringLiteral("/covers/7.jpg")));
    EXPECT_FALSE(tooles::is_file_exist(QStringLiteral("covers/7.jpg")));
    EXPECT_TRUE(tooles::WithNameDeleteDataFile(QStringLiteral("covers")));
    EXPECT_FALSE(tooles::is_file_exist(QStringLiteral("covers")));
    EXPECT_TRUE(tooles::WithNameDeleteDataFile(QStringLiteral("missing.png")));
    // A link inside is removed as a link; what it points at stays.
    EXPECT_TRUE(tooles::WithNameDeleteDataFile(QStringLiteral("linked")));
    EXPECT_FALSE(QFileInfo(docs + QStringLiteral("/linked")).isSymLink());
    EXPECT_TRUE(QFile::exists(victim));
}

TEST(FilesTest, ImagesRoundTripByTypeAndUnknownTypesWriteNothing) {
    testutil::ScopedHome home;
    const QString dir = Paths::documentsDir();
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    image.setPixelColor(0, 0, QColor(250, 0, 0));

    tooles::saveImage(image, QStringLiteral("avatar_9"), QStringLiteral("PNG"), dir);
    EXPECT_TRUE(QFileInfo::exists(dir + QStringLiteral("/avatar_9.png")));
    const QImage png = tooles::loadImage(QStringLiteral("avatar_9"), QStringLiteral("png"), dir);
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), image);

    tooles::saveImage(image, QStringLiteral("cover"), QStringLiteral("JPEG"), dir);
    EXPECT_TRUE(QFileInfo::exists(dir + QStringLiteral("/cover.jpg")));
    const QImage jpg = tooles::loadImage(QStringLiteral("cover"), QStringLiteral("jpg"), dir);
    ASSERT_FALSE(jpg.isNull());
    EXPECT_EQ(jpg.size(), image.size());

    testutil::LogCapture log;
    tooles::saveImage(image, QStringLiteral("anim"), QStringLiteral("gif"), dir);
    EXPECT_EQ(log.count(QStringLiteral("文件后缀不认识")), 1);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(tooles::loadImage(QStringLiteral("nothing"), QStringLiteral("png"), dir).isNull());
}

namespace {
class SignInExpiryTest : public ::testing::Test {
protected:
    void SetUp() override {
        UserDefaults::standard().reload();
        Clock::setNow(QDateTime::fromSecsSinceEpoch(kNow));
    }
    void TearDown() override {
        Clock::reset();
        UserDefaults::standard().reload();
    }
    static void signIn(const QVariantMap& info) {
        UserDefaults& store = UserDefaults::standard();
        store.setObject(QStringLiteral("user_token"), QStringLiteral("tok"));
        store.setObject(QStringLiteral("user_info"), info);
        store.setObject(QStringLiteral("current_account"), QStringLiteral("13912345678"));
        store.synchronize();
    }
    static bool signedIn() {
        return UserDefaults::standard().contains(QStringLiteral("user_token"));
    }
    static constexpr qint64 kNow = 1'700'000'000;
    testutil::ScopedHome home_;
};
} // namespace

TEST_F(SignInExpiryTest, ExactlySevenDaysSurvivesOneSecondMoreSignsOut) {
    signIn({{QStringLiteral("login_time"), QString::number(kNow - 604800)}});
    tooles::cleanToken();
    EXPECT_TRUE(signedIn());

    signIn({{QStringLiteral("login_time"), QString::number(kNow - 604801)}});
    tooles::cleanToken();
    EXPECT_FALSE(signedIn());
    // The sign-out is on disk, and the account name outlives it.
    UserDefaults::standard().reload();
    EXPECT_FALSE(signedIn());
    EXPECT_FALSE(UserDefaults::standard().contains(QStringLiteral("user_info")));
    EXPECT_EQ(UserDefaults::standard().stringForKey(QStringLiteral("current_account")),
              QStringLiteral("13912345678"));
}

TEST_F(SignInExpiryTest, OnlyALoginTimeThatIsNoNumberOrTooOldSignsOut) {
    // A number as the answer gives it counts as well as text.
    signIn({{QStringLiteral("login_time"), double(kNow - 604801)}});
    tooles::cleanToken();
    EXPECT_FALSE(signedIn());
    signIn({{QStringLiteral("login_time"), QStringLiteral("yesterday")}});
    tooles::cleanToken();
    EXPECT_FALSE(signedIn());

    // Without the info or its login time the sign-in never expires.
    UserDefaults::standard().setObject(QStringLiteral("user_token"), QStringLiteral("tok"));
    tooles::cleanToken();
    EXPECT_TRUE(signedIn());
    signIn({{QStringLiteral("id"), 5}});
    Clock::advance(100 * 604800);
    tooles::cleanToken();
    EXPECT_TRUE(signedIn());
}

TEST(GetImageFromUrlTest, LoadsTheImageOrNothing) {
    QImage image(5, 7, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    FakeService service;
    service.route(QStringLiteral("GET"), QStringLiteral("/covers/1.png"),
                  FakeService::Reply::text(png, "image/png"));
    const QImage loaded =
        tooles::getImageFromURL(service.baseUrl() + QStringLiteral("/covers/1.png"));
    EXPECT_EQ(loaded.size(), QSize(5, 7));
    // A 404 page is no image.
    EXPECT_TRUE(
        tooles::getImageFromURL(service.baseUrl() + QStringLiteral("/covers/2.png")).isNull());
}
