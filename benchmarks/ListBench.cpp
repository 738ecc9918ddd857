// Book lists: one page of 11 rows appended and laid out with covers from the disk cache, and
// the worst frame while a list of 200 rows with covers scrolls.
#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <ctime>
#include <memory>

#include "catalog/BookListPanel.h"
#include "engines/EGOCache.h"
#include "engines/EGOImageLoader.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "widgets/EGOImageButton.h"
#include "widgets/PullingRefreshTableView.h"

namespace {

QString coverAddress(int i) {
    return QStringLiteral("http://covers.invalid/list/%1.jpg").arg(i);
}

// The covers of `count` books, 240 × 320 JPEGs, written into the disk cache.
void storeCovers(int count) {
    EGOCache* cache = EGOCache::currentCache();
    for (int i = 0; i < count; ++i) {
        QImage image(240, 320, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 37 % 360, 140, 200));
        QPainter p(&image);
        p.drawText(image.rect(), Qt::AlignCenter, QString::number(i));
        p.end();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 85);
        cache->setData(bytes, EGOImageLoader::keyForURL(QUrl(coverAddress(i))),
                       EGOImageLoader::kImageCacheInterval);
    }
    cache->flush();
}

QVariantList page(int first, int count) {
    QVariantList books;
    for (int i = first; i < first + count; ++i) {
        books.append(
            QVariantMap{{QStringLiteral("book_id"), i + 1},
                        {QStringLiteral("title"), QStringLiteral("夜航船上的第%1本书").arg(i + 1)},
                        {QStringLiteral("author"), QStringLiteral("作者%1").arg(i % 17)},
                        {QStringLiteral("coverimg"), coverAddress(i)},
                        {QStringLiteral("category"),
                         QVariantMap{{QStringLiteral("name"), QStringLiteral("武侠仙侠")}}},
                        {QStringLiteral("source_site_name"), QStringLiteral("甲站")}});
    }
    return books;
}

// A screen in a phone window with one book list on it.
struct Screen {
    Screen() {
        window.resize(320, 568);
        screen = new ViewController(&window);
        screen->setGeometry(0, 64, 320, 455);
        panel = new BookListPanel(screen, QRect(6, 8, 308, 440), QStringLiteral("/data/booklist"));
        window.show();
        QCoreApplication::processEvents();
    }
    QWidget window;
    ViewController* screen;
    BookListPanel* panel;
};

// Processor time of the calling thread, in ms.
double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

void settleImages() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Runs the event loop until every row shows its cover (or 10 s passed).
bool coversShown(BookListPanel* panel) {
    QElapsedTimer timer;
    timer.start();
    const auto allShown = [panel] {
        for (int row = 0; row < panel->table()->rowCount(); ++row) {
            if (panel->cellAt(row)->imagePhoto()->showsPlaceholder())
                return false;
        }
        return true;
    };
    while (!allShown() && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return allShown();
}

void BM_AppendPageOf11(benchmark::State& state) {
    storeCovers(11);
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<Screen>();
        const QVariantList books = page(0, 11);
        state.ResumeTiming();
        s->panel->appendRows(books);
        if (!coversShown(s->panel))
            state.SkipWithError("covers did not come from the cache");
        s->panel->table()->viewport()->repaint();
        state.PauseTiming();
        s.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AppendPageOf11)->Unit(benchmark::kMillisecond);

void BM_Scroll200Rows(benchmark::State& state) {
    storeCovers(200);
    Screen s;
    for (int p = 0; p < 200; p += 11)
        s.panel->appendRows(page(p, std::min(11, 200 - p)));
    if (!coversShown(s.panel))
        state.SkipWithError("covers did not come from the cache");
    PullingRefreshTableView* table = s.panel->table();
    const int end = table->contentHeight() - table->height();
    double worst = 0;
    double worstCpu = 0;
    double total = 0;
    int frames = 0;
    for (auto _ : state) {
        // One pass down the list in steps of a finger's frame (about 24 points): moving the
        // rows, the events that follow, and drawing the visible ones.
        for (int y = 0; y <= end; y += 24) {
            QElapsedTimer timer;
            timer.start();
            const double cpuBefore = threadCpuMs();
            table->setContentOffsetY(y);
            settleImages();
            table->viewport()->repaint();
            const double ms = timer.nsecsElapsed() / 1e6;
            const double cpu = threadCpuMs() - cpuBefore;
            worst = std::max(worst, ms);
            worstCpu = std::max(worstCpu, cpu);
            total += ms;
            ++frames;
        }
        table->setContentOffsetY(0);
    }
    state.counters["worst_frame_ms"] = worst;
    // The same frame's work on this thread alone, without the waits of a busy machine.
    state.counters["worst_frame_cpu_ms"] = worstCpu;
    state.counters["mean_frame_ms"] = frames ? total / frames : 0;
}
BENCHMARK(BM_Scroll200Rows)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
