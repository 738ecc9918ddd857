#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One book of the sample catalog as the generator makes it.
struct SampleBook {
    int id = 0;
    QString title;
    QString author;
    int categoryId = 0;
    QString status;
    QString intro;    // may hold HTML markup and &nbsp;
    int chapters = 0; // chapters are numbered 1..chapters
    qint64 updateTime = 0;
    QString coverType;       // "png", "jpg", or empty for a book without a cover
    bool hasSiteName = true; // false: the book's source_site_name is null
    QStringList sites;       // one to three source sites
    int readCount = 0;
    int favCount = 0;
    int dailyRank = 0;   // position in the daily recommendations, 0 when not in them
    int popularRank = 0; // position in the selected works, 0 when not in them
};

struct SampleCategory {
    int id = 0;
    QString name;
};

// The deterministic generator of bookd's sample catalog: the same books, chapters and
// covers on every machine and every start. Chapter texts and covers are made on request
// from the book and chapter numbers, so nothing large is stored.
class SampleCatalog final {
public:
    SampleCatalog() = delete;

    static QList<SampleCategory> categories();
    static QList<SampleBook> books();

    // "第N章 ..." for chapter n of the book.
    static QString chapterTitle(int bookId, int chapter);
    // An HTML fragment of Chinese paragraphs, 3 to 10 KB of UTF-8.
    static QString chapterContent(int bookId, int chapter);
    // The cover in the given format ("png" or "jpg"); empty when it cannot be encoded.
    static QByteArray coverImage(int bookId, const QString& type);

    static constexpr char kWelcomeTitle[] = "欢迎来到folia书城";
    static QString welcomeText(const QString& nickname);
};
