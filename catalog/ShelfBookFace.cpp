#include "catalog/ShelfBookFace.h"

#include <QHash>
#include <QPainter>

#include "platform/Images.h"

namespace {

// The shelf's artwork, rendered once at the face's size.
const QPixmap& artwork(const char* name, const QSize& size) {
    static QHash<QString, QPixmap> rendered;
    const QString key = QString::fromLatin1(name);
    auto it = rendered.find(key);
    if (it == rendered.end())
        it = rendered.insert(key, Images::named(key, size));
    return *it;
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
    p.setFont(arial(10));
    p.setPen(Qt::white);
    p.drawText(strip.adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextWordWrap, title_);
    if (isDown())
        p.fillRect(face, QColor(0, 0, 0, 70));
}
