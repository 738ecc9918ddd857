// Remote covers served from the disk cache: the time from a cache hit to the image shown, and
// the memory that 200 rows' covers take once shown.
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

#include "engines/EGOCache.h"
#include "engines/EGOImageLoader.h"
#include "widgets/EGOImageView.h"

namespace {

// A cover as the service sends them: a 240 × 320 JPEG.
QByteArray coverJpeg(int seed) {
    QImage image(240, 320, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 240, 320);
    g.setColorAt(0, QColor::fromHsv(seed * 37 % 360, 150, 220));
    g.setColorAt(1, QColor::fromHsv(seed * 53 % 360, 200, 90));
    p.fillRect(image.rect(), g);
    p.setPen(Qt::white);
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("卷 %1").arg(seed));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return bytes;
}

QUrl coverUrl(int i) {
    return QUrl(QStringLiteral("http://covers.invalid/book/%1.jpg").arg(i));
}

// Resident and peak resident memory of the process, in kB.
qint64 statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

void storeCovers(int count) {
    EGOCache* cache = EGOCache::currentCache();
    for (int i = 0; i < count; ++i)
        cache->setData(coverJpeg(i), EGOImageLoader::keyForURL(coverUrl(i)),
                       EGOImageLoader::kImageCacheInterval);
    cache->flush();
}

void BM_ShowCachedCover(benchmark::State& state) {
    storeCovers(1);
    QPixmap placeholder(60, 80);
    placeholder.fill(Qt::gray);
    EGOImageView view(placeholder);
    view.resize(60, 80);
    for (auto _ : state) {
        view.setImageURL(coverUrl(0));
        if (view.showsPlaceholder())
            state.SkipWithError("cover not shown from the disk cache");
        view.setImageURL(QUrl());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ShowCachedCover)->Unit(benchmark::kMicrosecond);

void BM_TwoHundredRowsOfCovers(benchmark::State& state) {
    constexpr int kRows = 200;
    storeCovers(kRows);
    QPixmap placeholder(60, 80);
    placeholder.fill(Qt::gray);
    qint64 rssGrowth = 0;
    for (auto _ : state) {
        const qint64 before = statusKb("VmRSS:");
        std::vector<std::unique_ptr<EGOImageView>> rows;
        rows.reserve(kRows);
        for (int i = 0; i < kRows; ++i) {
            rows.push_back(std::make_unique<EGOImageView>(placeholder));
            rows.back()->resize(60, 80);
            rows.back()->setImageURL(coverUrl(i));
        }
        rssGrowth = qMax(rssGrowth, statusKb("VmRSS:") - before);
        int shown = 0;
        for (const auto& row : rows)
            shown += row->showsPlaceholder() ? 0 : 1;
        if (shown != kRows)
            state.SkipWithError("not every cover came from the disk cache");
    }
    state.counters["rss_growth_MB"] = double(rssGrowth) / 1024.0;
    state.counters["peak_rss_MB"] = double(statusKb("VmHWM:")) / 1024.0;
    state.counters["decoded_MB"] = kRows * 240.0 * 320.0 * 4.0 / (1024.0 * 1024.0);
}
BENCHMARK(BM_TwoHundredRowsOfCovers)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
