// What keeping the reading position adds to one page turn: the first character of the new
// page (a lookup in the page starts the page measured when it loaded) and the position
// stored beside the last-read record.
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "platform/Paths.h"
#include "reader/TextPosition.h"
#include "storage/BookDb.h"
#include "storage/ReadingPositions.h"

namespace {

// A long chapter: 60 pages of about 240 characters each.
TextPosition longChapter() {
    QVariantList starts;
    for (int page = 0; page < 60; ++page)
        starts << page * 240;
    TextPosition p;
    p.setStarts(starts, 60);
    return p;
}

void BM_Position_FirstCharacterOfPage(benchmark::State& state) {
    const TextPosition p = longChapter();
    ReadingAnchor anchor;
    int page = 0;
    for (auto _ : state) {
        page = page % 60 + 1;
        benchmark::DoNotOptimize(anchor.follow(p, 1, page));
    }
}
BENCHMARK(BM_Position_FirstCharacterOfPage);

// The whole addition to a turn: the lookup and the stored position, on a fresh database.
void BM_Position_PageTurnAddedWork(benchmark::State& state) {
    QTemporaryDir dir;
    Paths::setHome(dir.path());
    {
        BookDb db; // puts the prepared file in place
        ReadingPositions().ensureTables();
    }
    const TextPosition p = longChapter();
    ReadingAnchor anchor;
    int page = 0;
    for (auto _ : state) {
        page = page % 60 + 1;
        ReadingPositions().saveLastRead(QStringLiteral("1"), 1, page, anchor.follow(p, 1, page));
    }
    BookDb::waitForBackgroundWrites();
    Paths::setHome(QString());
}
BENCHMARK(BM_Position_PageTurnAddedWork)->Unit(benchmark::kMicrosecond)->UseRealTime();

// For scale: the last-read record every turn already writes.
void BM_Position_LastReadRecordOfATurn(benchmark::State& state) {
    QTemporaryDir dir;
    Paths::setHome(dir.path());
    int page = 0;
    for (auto _ : state) {
        page = page % 60 + 1;
        BookDb().recordLastRead({{QStringLiteral("book_id"), QStringLiteral("1")},
                                 {QStringLiteral("chapter_id"), QStringLiteral("1")},
                                 {QStringLiteral("page_id"), QString::number(page)},
                                 {QStringLiteral("create_time"), QStringLiteral("1700000000")}});
    }
    Paths::setHome(QString());
}
BENCHMARK(BM_Position_LastReadRecordOfATurn)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
