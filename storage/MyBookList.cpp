#include "storage/MyBookList.h"

#include <cmath>

namespace {

// A text field as it arrived; absent or JSON null give no value.
QString textField(const QVariantMap& d, const char* key) {
    const QVariant value = d.value(QString::fromLatin1(key));
    if (!value.isValid() || value.isNull())
        return {};
    return value.toString();
}

// The text form of a value that may arrive as a number (1 -> "1", 2.0 -> "2").
QString numberText(const QVariantMap& d, const char* key) {
    const QVariant value = d.value(QString::fromLatin1(key));
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double n = value.toDouble();
        if (std::fabs(n) < 9.0e15 && n == std::trunc(n))
            return QString::number(static_cast<qint64>(n));
        return QString::number(n, 'g', 17);
    }
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return value.toString();
    }
}

QVariant rawField(const QVariantMap& d, const char* key) {
    const QVariant value = d.value(QString::fromLatin1(key));
    return value.isNull() ? QVariant() : value;
}

} // namespace

MyBookList::~MyBookList() = default;

MyBookList MyBookList::initWithDictionary(const QVariantMap& d) {
    MyBookList book;
    book.myId_ = rawField(d, "book_id");
    book.myTitle_ = textField(d, "title");
    book.myAuthor_ = textField(d, "author");
    book.myCover_ = textField(d, "coverimg");
    book.myCategory_ = d.value(QStringLiteral("category")).toMap();
    book.myLast_chapter_number_ = rawField(d, "last_chapter_number");
    book.myLast_chapter_title_ = textField(d, "last_chapter_title");
    book.myLast_update_time_ = textField(d, "last_update_time");
    book.myStatus_ = textField(d, "status");
    book.myIntro_ = textField(d, "intro");
    const QVariant site = d.value(QStringLiteral("source_site_name"));
    if (site.isValid() && site.isNull())
        book.mySource_site_name_ = QStringLiteral("未知站点");
    else
        book.mySource_site_name_ = textField(d, "source_site_name");
    book.myFavorite_ = numberText(d, "is_favouite");
    book.mySource_site_nums_ = numberText(d, "source_site_nums");
    return book;
}
