#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSvgRenderer>
#include <algorithm>
#include <gtest/gtest.h>
#include <utility>

#include "platform/Images.h"
#include "tests/resources/KnownNames.h"

namespace {

// True when some pixel is not fully transparent: an image that renders nothing is a broken file.
bool hasInk(const QImage& image) {
    const QImage alpha = image.convertToFormat(QImage::Format_Alpha8);
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar* line = alpha.constScanLine(y);
        if (std::any_of(line, line + alpha.width(), [](uchar a) { return a != 0; }))
            return true;
    }
    return false;
}

} // namespace

TEST(Images, EveryNameTheScreensUseRendersAtItsNaturalSize) {
    for (const char* name : known::kImageNames) {
        SCOPED_TRACE(name);
        const QString n = QString::fromLatin1(name);
        ASSERT_TRUE(Images::exists(n));
        const QPixmap pixmap = Images::named(n);
        ASSERT_FALSE(pixmap.isNull());
        EXPECT_FALSE(pixmap.deviceIndependentSize().isEmpty());
        EXPECT_TRUE(hasInk(pixmap.toImage()));
    }
    for (const char* name : known::kOwnImageNames)
        EXPECT_FALSE(Images::named(QString::fromLatin1(name)).isNull()) << name;
}

TEST(Images, NamesWrittenWithExtensionOrScaleSuffixFindTheSameArtwork) {
    const std::pair<const char*, const char*> cases[] = {{"books_nobook.png", "books_nobook"},
                                                         {"btn_done_up@2x.png", "btn_done_up"}};
    for (const auto& [written, base] : cases) {
        SCOPED_TRACE(written);
        ASSERT_TRUE(Images::exists(QString::fromLatin1(written)));
        EXPECT_EQ(Images::path(QString::fromLatin1(written)),
                  Images::path(QString::fromLatin1(base)));
        EXPECT_FALSE(Images::image(QString::fromLatin1(written)).isNull());
    }
}

TEST(Images, UnknownNamesGiveNothing) {
    for (const char* name : {"no_such_image", "", "../images/public_Bg", "public_Bg/x"}) {
        SCOPED_TRACE(name);
        const QString n = QString::fromLatin1(name);
        EXPECT_FALSE(Images::exists(n));
        EXPECT_TRUE(Images::path(n).isEmpty());
        EXPECT_TRUE(Images::named(n).isNull());
        EXPECT_TRUE(Images::image(n).isNull());
    }
}

TEST(Images, RendersAtARequestedSizeInPointsWithThePixelRatio) {
    const qreal ratio = qGuiApp->devicePixelRatio();
    const QPixmap small = Images::named(QStringLiteral("read_refresh_yes"), QSize(20, 20));
    const QPixmap large = Images::named(QStringLiteral("read_refresh_yes"), QSize(80, 80));
    EXPECT_EQ(small.deviceIndependentSize().toSize(), QSize(20, 20));
    EXPECT_EQ(large.deviceIndependentSize().toSize(), QSize(80, 80));
    EXPECT_EQ(large.size(), QSize(80, 80) * ratio);
    // A cached rendering of one size is never handed out for another.
    EXPECT_EQ(Images::named(QStringLiteral("read_refresh_yes"), QSize(20, 20)).size(),
              small.size());
    const QImage stretched = Images::image(QStringLiteral("public_toolBg"), QSize(640, 44));
    EXPECT_EQ(stretched.size(), QSize(640, 44) * ratio);
}

TEST(Images, EveryCompiledFileIsValidAndListedInTheReadme) {
    QFile readme(QStringLiteral(FOLIA_SOURCE_DIR "/resources/images/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString listed = QString::fromUtf8(readme.readAll());
    qsizetype count = 0;
    for (QDirIterator it(QStringLiteral(":/images")); it.hasNext(); ++count) {
        const QString file = it.next();
        SCOPED_TRACE(file.toStdString());
        const QString base = QFileInfo(file).completeBaseName();
        if (file.endsWith(QLatin1String(".svg"))) {
            EXPECT_TRUE(QSvgRenderer(file).isValid());
        }
        EXPECT_FALSE(Images::image(base).isNull());
        EXPECT_TRUE(listed.contains(QStringLiteral("`%1`").arg(base)));
    }
    EXPECT_GE(count, qsizetype(std::size(known::kImageNames)));
}
