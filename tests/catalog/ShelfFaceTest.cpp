// A book's face on the shelf keeps its title inside the name strip.
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include "catalog/ShelfBookFace.h"

namespace {

QImage render(const QString& title) {
    QPixmap cover(ShelfBookFace::kWidth, ShelfBookFace::kHeight);
    cover.fill(QColor(120, 40, 90));
    ShelfBookFace face(title, cover);
    QImage image(face.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    face.render(&image);
    return image;
}

// Rows [from, to) in which the two pictures differ.
int differingRows(const QImage& a, const QImage& b, int from, int to) {
    int rows = 0;
    for (int y = from; y < to; ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

} // namespace

TEST(ShelfFaceTest, LongTitlesStayInTheStripAndClearOfTheKeepBar) {
    const QImage blank = render(QString());
    const int stripTop = ShelfBookFace::kHeight - ShelfBookFace::kStripHeight;
    const int clearTop = ShelfBookFace::kHeight - ShelfBookFace::kBottomClear;
    for (const QString& title : {QStringLiteral("雪中行"), QStringLiteral("总裁的契约新娘"),
                                 QStringLiteral("我在末世开超市之全球降临万界归来"),
                                 QStringLiteral("A Very Long Title Of A Serialized Web Novel")}) {
        const QImage face = render(title);
        // The title is written ...
        EXPECT_GT(differingRows(face, blank, stripTop, clearTop), 3) << title.toStdString();
        // ... neither on the cover above the strip nor on the rows the keep bar covers.
        EXPECT_EQ(differingRows(face, blank, 0, stripTop), 0) << title.toStdString();
        EXPECT_EQ(differingRows(face, blank, clearTop, ShelfBookFace::kHeight), 0)
            << title.toStdString();
    }
}
