#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <gtest/gtest.h>

#include "platform/Images.h"
#include "tests/resources/KnownNames.h"

namespace {

QStringList resourceImageFiles() {
    QStringList files;
    QDirIterator it(QStringLiteral(":/images"));
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

// True when some pixel is not fully transparent: an image that renders nothing is a broken file.
bool hasInk(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) != 0)
                return true;
        }
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
    for (const char* name : known::kImageNamesAsWritten) {
        SCOPED_TRACE(name);
        const QString n = QString::fromLatin1(name);
        QString base = n;
        base.remove(QStringLiteral(".png")).remove(QStringLiteral("@2x"));
        ASSERT_TRUE(Images::exists(n));
        EXPECT_EQ(Images::path(n), Images::path(base));
        EXPECT_FALSE(Images::image(n).isNull());
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
    const QStringList files = resourceImageFiles();
    ASSERT_GE(files.size(), qsizetype(std::size(known::kImageNames)));
    QFile readme(QStringLiteral(FOLIA_SOURCE_DIR "/resources/images/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString listed = QString::fromUtf8(readme.readAll());
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QString base = QFileInfo(file).completeBaseName();
        if (file.endsWith(QLatin1String(".svg"))) {
            EXPECT_TRUE(QSvgRenderer(file).isValid());
        }
        EXPECT_FALSE(Images::image(base).isNull());
        EXPECT_TRUE(listed.contains(QStringLiteral("`%1`").arg(base)));
    }
}

// Not a check: with FOLIA_CONTACT_SHEET=out.png it draws every image on one sheet, on the
// paper background and on the dark bar colour, so the set can be looked at as a whole.
TEST(Images, ContactSheet) {
    const QString out = qEnvironmentVariable("FOLIA_CONTACT_SHEET");
    if (out.isEmpty())
        GTEST_SKIP() << "set FOLIA_CONTACT_SHEET to write the sheet";
    const QStringList files = resourceImageFiles();
    const int cell = 150, cols = 8, rows = int((files.size() + cols - 1) / cols);
    QImage sheet(cols * cell, rows * cell, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xEE, 0xE5, 0xD3));
    QPainter p(&sheet);
    for (int i = 0; i < files.size(); ++i) {
        const QString base = QFileInfo(files[i]).completeBaseName();
        const QRect box((i % cols) * cell, (i / cols) * cell, cell, cell);
        p.fillRect(box.adjusted(2, 2, -2, -cell / 2), QColor(0x3B, 0x30, 0x2A));
        QImage img = Images::image(base);
        QSize s = img.deviceIndependentSize().toSize();
        if (s.width() > cell - 8 || s.height() > cell - 30)
            s.scale(cell - 8, cell - 30, Qt::KeepAspectRatio);
        p.drawImage(QRect(box.center().x() - s.width() / 2, box.top() + 4, s.width(), s.height()),
                    img);
        p.setPen(Qt::black);
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 7));
        p.drawText(box.adjusted(2, 0, -2, -2),
                   Qt::AlignBottom | Qt::AlignHCenter | Qt::TextWrapAnywhere, base);
    }
    p.end();
    EXPECT_TRUE(sheet.save(out));
}
