// Scans the source tree for image names and display-text keys written as literals and fails
// for each one the compiled resources do not have, so a screen cannot ship a missing image
// or an untranslated key. Besides direct lookups it catches artwork names handed through
// other helpers (buttons, image views): any string literal shaped like one of our names.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

#include "platform/Images.h"
#include "platform/Localizable.h"

namespace {

struct Use {
    QString where;
    QString literal;
    bool isImage;
};

QString unescape(const QString& literal) {
    QString out;
    for (qsizetype i = 0; i < literal.size(); ++i) {
        if (literal[i] == QLatin1Char('\\') && i + 1 < literal.size()) {
            const QChar next = literal[++i];
            out += next == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : next;
        } else {
            out += literal[i];
        }
    }
    return out;
}

QString whereIn(const QString& path, const QString& source, qsizetype offset) {
    return QStringLiteral("%1:%2").arg(path).arg(source.left(offset).count(QLatin1Char('\n')) + 1);
}

QList<Use> usesIn(const QString& path, const QString& source) {
    // Images::named("x"), Images::image("x"), Images::path("x"), L("x"), Localizable::text("x").
    static const QRegularExpression call(QStringLiteral(
        R"re((Images::(?:named|image|path)|(?<![\w:.>])L|Localizable::text)\(\s*(?:u8)?"((?:[^"\\\n]|\\.)*)")re"));
    // "public_toolBg_Button_back", "books_nobook.png", "btn_done_up@2x.png", "blueArrow" ...
    static const QRegularExpression artwork(QStringLiteral(
        R"re("((?:(?:public|read|books|bookshelf|center|class|column|search|yindao|btn|thumb|I4|I5)_[A-Za-z0-9_]+|blueArrow(?:Down)?)(?:@2x)?(?:\.png)?)")re"));
    QList<Use> uses;
    QSet<qsizetype> looked;
    auto it = call.globalMatch(source);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        looked.insert(m.capturedStart(2) - 1);
        uses.append({whereIn(path, source, m.capturedStart()), unescape(m.captured(2)),
                     m.captured(1).startsWith(QLatin1String("Images"))});
    }
    auto art = artwork.globalMatch(source);
    while (art.hasNext()) {
        const QRegularExpressionMatch m = art.next();
        if (!looked.contains(m.capturedStart()))
            uses.append({whereIn(path, source, m.capturedStart()), m.captured(1), true});
    }
    return uses;
}

QList<Use> usesInTree() {
    const QString root = QStringLiteral(FOLIA_SOURCE_DIR);
    QList<Use> uses;
    for (const char* folder : {"app", "service", "storage", "reader", "catalog", "account",
                               "widgets", "engines", "platform"}) {
        QDirIterator it(root + QLatin1Char('/') + QLatin1String(folder),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            uses += usesIn(path.mid(root.size() + 1), QString::fromUtf8(file.readAll()));
        }
    }
    return uses;
}

bool hasEntry(const QString& key) {
    // A key the table knows comes back different from itself, or the table maps it to itself
    // (the Chinese keys); a key whose text is Chinese already counts as present.
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return Localizable::text(key) != key || han.match(key).hasMatch();
}

} // namespace

TEST(ResourceUsage, TheScannerFindsEachKindOfUse) {
    const QString sample = QStringLiteral(
        "a = Images::named(\"books_shelf.png\", QSize(1, 2));\n"
        "b = Images::image( \"public_Bg\");\n"
        "c = L(\"The network is not good\") + XL(\"not this\") + obj.L(\"nor this\");\n"
        "d = Localizable::text(\"say \\\"hi\\\"\"); e = Images::path(\"x\");\n"
        "button(\"public_toolBg_Button_back\"); view(\"btn_done_up@2x.png\", \"blueArrow\");\n"
        "key(\"user_token\"); name(\"readBg\"); other(\"class\");\n");
    const QList<Use> uses = usesIn(QStringLiteral("sample.cpp"), sample);
    QStringList found;
    for (const Use& use : uses)
        found << (use.isImage ? QStringLiteral("image ") : QStringLiteral("key ")) + use.literal;
    ASSERT_EQ(found.join(QLatin1Char('|')),
              QStringLiteral("image books_shelf.png|image public_Bg|key The network is not good|"
                             "key say \"hi\"|image x|image public_toolBg_Button_back|"
                             "image btn_done_up@2x.png|image blueArrow"));
    EXPECT_EQ(uses[2].where, QStringLiteral("sample.cpp:3"));
}

TEST(ResourceUsage, EveryImageAndKeyTheSourcesNameExists) {
    const QList<Use> uses = usesInTree();
    QStringList missing;
    for (const Use& use : uses) {
        if (use.literal.isEmpty())
            continue;
        if (use.isImage ? !Images::exists(use.literal) : !hasEntry(use.literal))
            missing << QStringLiteral("%1: %2 \"%3\"")
                           .arg(use.where,
                                use.isImage ? QStringLiteral("image") : QStringLiteral("text key"),
                                use.literal);
    }
    EXPECT_TRUE(missing.isEmpty()) << "not in the resources:\n"
                                   << missing.join(QLatin1Char('\n')).toStdString();
}
