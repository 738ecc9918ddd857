#include "catalog/RecommendCell.h"

#include <QLabel>
#include <QPainter>
#include <QUrl>

#include "platform/Images.h"
#include "service/Service.h"
#include "widgets/EGOImageButton.h"

namespace {
constexpr int kMargin = 10;
constexpr int kTextLeft = kMargin + RecommendCell::kCoverWidth + 10;

QFont arial(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}

void setTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}
} // namespace

RecommendCell::RecommendCell(QWidget* parent)
    : QWidget(parent),
      imagePhoto_(new EGOImageButton(
          Images::named(QStringLiteral("thumb_pic.png"), QSize(kCoverWidth, kCoverHeight)), nullptr,
          this)),
      bookNameLabel_(new QLabel(this)), authorNameLabel_(new QLabel(this)),
      categoryLabel_(new QLabel(this)) {
    setObjectName(QStringLiteral("RecommendCell"));
    imagePhoto_->setObjectName(QStringLiteral("imagePhoto"));
    bookNameLabel_->setObjectName(QStringLiteral("bookNameLabel"));
    authorNameLabel_->setObjectName(QStringLiteral("authorNameLabel"));
    categoryLabel_->setObjectName(QStringLiteral("categoryLabel"));
    bookNameLabel_->setFont(arial(16));
    authorNameLabel_->setFont(arial(14));
    categoryLabel_->setFont(arial(14));
    setTextColor(bookNameLabel_, QColor(58, 40, 28));
    setTextColor(authorNameLabel_, QColor(128, 120, 110));
    setTextColor(categoryLabel_, QColor(128, 120, 110));
    for (QLabel* label : {bookNameLabel_, authorNameLabel_, categoryLabel_}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(false);
        // Taps on the texts belong to the row (the table selects it).
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    connect(imagePhoto_, &QAbstractButton::clicked, this, [this] { emit coverTapped(coverTag_); });
    resize(320, kRowHeight);
    layoutParts();
}

RecommendCell::~RecommendCell() = default;

QString RecommendCell::authorText(const MyBookList& book) {
    return QStringLiteral("作者: %1").arg(book.myAuthor());
}

QString RecommendCell::thirdLineText(const MyBookList& book, ThirdLine thirdLine) {
    if (thirdLine == ThirdLine::SourceSite) {
        const QString site = book.mySource_site_name();
        return QStringLiteral("来源站点: %1").arg(site.isEmpty() ? QStringLiteral("未知") : site);
    }
    return QStringLiteral("分类: %1")
        .arg(Service::textOf(book.myCategory().value(QStringLiteral("name"))));
}

void RecommendCell::setBook(const MyBookList& book, ThirdLine thirdLine) {
    name_ = book.myTitle();
    authorNameLabel_->setText(authorText(book));
    categoryLabel_->setText(thirdLineText(book, thirdLine));
    tag_ = Service::textOf(book.myId()).toInt();
    imagePhoto_->setPlaceholderImage(
        Images::named(QStringLiteral("books_nobook.png"), QSize(kCoverWidth, kCoverHeight)));
    const QString cover = book.myCover().trimmed();
    if (cover.isEmpty()) {
        imagePhoto_->cancelImageLoad();
        imagePhoto_->setImageURL(QUrl());
    } else {
        imagePhoto_->setImageURL(QUrl(cover));
    }
    elideName();
}

void RecommendCell::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutParts();
}

void RecommendCell::layoutParts() {
    const int w = width();
    imagePhoto_->setGeometry(kMargin, (kRowHeight - kCoverHeight) / 2, kCoverWidth, kCoverHeight);
    const int textWidth = qMax(0, w - kTextLeft - kMargin);
    bookNameLabel_->setGeometry(kTextLeft, 8, textWidth, 22);
    authorNameLabel_->setGeometry(kTextLeft, 31, textWidth, 18);
    categoryLabel_->setGeometry(kTextLeft, 50, textWidth, 18);
    elideName();
}

void RecommendCell::elideName() {
    // One line, cut at the tail.
    bookNameLabel_->setText(bookNameLabel_->fontMetrics().elidedText(
        name_, Qt::ElideRight, qMax(0, bookNameLabel_->width())));
    bookNameLabel_->setToolTip(name_);
}

void RecommendCell::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QColor(120, 90, 60, 50));
    p.drawLine(0, height() - 1, width(), height() - 1);
}
