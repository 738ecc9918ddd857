#include "catalog/ShelfBookFace.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmapCache>

#include "platform/Images.h"

namespace {

// The shelf's artwork, rendered once at the face's size. Qt's pixmap cache holds it, so it
// goes with the application object rather than after it.
QPixmap artwork(const char* name, const QSize& size) {
    const QString key = QStringLiteral("shelf/%1/%2x%3")
                            .arg(QLatin1String(name))
                            .arg(size.width())
                            .arg(size.height());
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = Images::named(QString::fromLatin1(name), size);
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

QFont arial(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}

} // namespace

ShelfBookFace::ShelfBookFace(const QString& title, const QPixmap& cover, QWidget* parent)
    : QAbstractButton(parent), title_(title), cover_(cover) {
    setObjectName(QStringLiteral("coverButton"));
    setFocusPolicy(Qt::NoFocus);
    resize(kWidth, kHeight);
}

ShelfBookFace::~ShelfBookFace() = default;

void ShelfBookFace::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect face(0, 0, kWidth, kHeight);
    if (!cover_.isNull()) {
        p.drawPixmap(face, cover_);
    } else {
        p.drawPixmap(face, artwork("bookshelf_nobook", face.size()));
        p.setFont(arial(12));
        p.setPen(QColor::fromRgbF(0.451f, 0.15f, 0.0f));
        p.drawText(QRect(6, 8, kWidth - 12, kHeight - kStripHeight - 12),
                   Qt::AlignCenter | Qt::TextWordWrap, title_);
    }
    p.drawPixmap(face, artwork("books_bianyan", face.size()));
    const QRect strip(0, kHeight - kStripHeight, kWidth, kStripHeight);
    p.drawPixmap(strip, artwork("books_namebg", strip.size()));
    // The title stays inside the strip and clear of the bottom edge, where the bar of a book
    // being kept whole runs: a long title gets smaller type, and one that still does not fit
    // one line shorter.
    const QRect titleRect = strip.adjusted(2, 0, -2, -kBottomClear);
    int flags = Qt::AlignCenter | Qt::TextWordWrap;
    QString title = title_;
    QFont font = arial(10);
    while (QFontMetrics(font).boundingRect(titleRect, flags, title).height() > titleRect.height()) {
        if (font.pixelSize() > 8) {
            font.setPixelSize(font.pixelSize() - 1);
            continue;
        }
        flags = Qt::AlignCenter;
        title = QFontMetrics(font).elidedText(title_, Qt::ElideRight, titleRect.width());
        break;
    }
    p.save();
    p.setClipRect(titleRect);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(titleRect, flags, title);
    p.restore();
    if (isDown())
        p.fillRect(face, QColor(0, 0, 0, 70));
}
