// Start-up of the folia executable, from process start to the bookshelf's first frame: cold (a
// fresh home folder: the prepared database is copied, the first-run defaults written, the guide
// shown) and warm (the second and later starts on one home folder, empty or with a shelf of
// books with covers). Each start is a child process (`folia --startup-time`) on the offscreen
// platform, so the loading of the libraries counts; the time is taken by this process from just
// before it starts the child until the child's line arrives. "app_ms" is the child's own figure
// (from the kernel's process start, 10 ms steps).
#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

#include "catalog/CoverFiles.h"
#include "platform/Paths.h"
#include "storage/BookDb.h"

namespace {

// Built beside this program (build/benchmarks/folia_bench, build/folia), or FOLIA_BIN.
QString foliaPath() {
    const QString given = qEnvironmentVariable("FOLIA_BIN");
    if (!given.isEmpty())
        return given;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../folia");
}

struct Start {
    double wallMs = -1;
    double appMs = -1;
    QString failure;
};

Start startOnce(const QString& home) {
    Start start;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FOLIA_HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    // Nothing answers on port 9: the version check fails at once and talks to nobody's service.
    const QStringList args = {QStringLiteral("--startup-time"), QStringLiteral("--service-url"),
                              QStringLiteral("http://127.0.0.1:9"), QStringLiteral("--lookup-url"),
                              QStringLiteral("http://127.0.0.1:9")};
    static const QRegularExpression line(
        QStringLiteral("first frame of the bookshelf: (-?\\d+) ms"));
    QElapsedTimer clock;
    clock.start();
    child.start(foliaPath(), args);
    QByteArray out;
    while (child.waitForReadyRead(30000)) {
        out += child.readAllStandardOutput();
        const QRegularExpressionMatch m = line.match(QString::fromUtf8(out));
        if (m.hasMatch()) {
            start.wallMs = double(clock.nsecsElapsed()) / 1e6;
            start.appMs = m.captured(1).toDouble();
            break;
        }
    }
    if (!child.waitForFinished(30000)) {
        child.kill();
        child.waitForFinished(5000);
    }
    if (start.wallMs < 0)
        start.failure = QStringLiteral("no first frame; exit %1: %2")
                            .arg(child.exitCode())
                            .arg(QString::fromUtf8(child.readAllStandardError().right(300)));
    return start;
}

// A shelf of books with covers, written into home as the app would have stored them.
void fillShelf(const QString& home, int books) {
    // This program's own home folder is set (benchmarks/main.cpp); it comes back afterwards.
    const QString previous = QFileInfo(Paths::documentsDir()).absolutePath();
    Paths::setHome(home);
    QImage image(180, 240, QImage::Format_RGB32);
    for (int i = 1; i <= books; ++i) {
        image.fill(QColor::fromHsv((i * 37) % 360, 120, 180));
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 85);
        const QString id = QString::number(700000 + i);
        const QString cover = CoverFiles::coverName(id, QStringLiteral("http://h/c.jpg"));
        CoverFiles::save(jpeg, cover);
        BookDb().insertBook({{QStringLiteral("book_id"), id},
                             {QStringLiteral("title"), QStringLiteral("书架上的第%1本书").arg(i)},
                             {QStringLiteral("cover"), cover},
                             {QStringLiteral("last_chapter_number"), QStringLiteral("30")},
                             {QStringLiteral("download_time"), QString::number(1700000000 + i)},
                             {QStringLiteral("update_time"), QString::number(1700000000 + i)}});
    }
    BookDb::waitForBackgroundWrites();
    Paths::setHome(previous);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.at(v.size() / 2);
}

// Cold: a fresh home folder per start. Warm: one home folder, started once untimed first.
void runStarts(benchmark::State& state, bool warm, int books) {
    if (!QFileInfo(foliaPath()).isExecutable()) {
        state.SkipWithError("build the folia target first (or set FOLIA_BIN)");
        return;
    }
    QTemporaryDir shared;
    if (warm) {
        const Start first = startOnce(shared.path());
        if (!first.failure.isEmpty()) {
            state.SkipWithError(qPrintable(first.failure));
            return;
        }
        if (books > 0)
            fillShelf(shared.path(), books);
    }
    std::vector<double> wall, app;
    for (auto _ : state) {
        QTemporaryDir fresh;
        const Start s = startOnce(warm ? shared.path() : fresh.path());
        if (!s.failure.isEmpty()) {
            state.SkipWithError(qPrintable(s.failure));
            return;
        }
        state.SetIterationTime(s.wallMs / 1000.0);
        wall.push_back(s.wallMs);
        app.push_back(s.appMs);
    }
    state.counters["median_ms"] = median(wall);
    state.counters["min_ms"] = wall.empty() ? 0 : *std::min_element(wall.begin(), wall.end());
    state.counters["max_ms"] = wall.empty() ? 0 : *std::max_element(wall.begin(), wall.end());
    state.counters["app_median_ms"] = median(app);
}

void BM_StartupCold(benchmark::State& state) {
    runStarts(state, false, 0);
}
void BM_StartupWarm(benchmark::State& state) {
    runStarts(state, true, 0);
}
void BM_StartupWarmShelf12(benchmark::State& state) {
    runStarts(state, true, 12);
}

} // namespace

BENCHMARK(BM_StartupCold)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupWarm)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupWarmShelf12)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);
