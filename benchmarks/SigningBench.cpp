// The cost of signing a request against the floor it cannot go below: one MD5 of the same
// bytes. Signing sorts the keys, writes the values as text, joins pairs and values and
// hashes; the ratio says how much the bookkeeping adds to the hash.
#include <QCryptographicHash>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <ctime>

#include "app/tooles.h"

namespace {
QVariantMap sixParameters() {
    return {{QStringLiteral("book_id"), QStringLiteral("102938")},
            {QStringLiteral("chapter_id"), 417},
            {QStringLiteral("token"), QStringLiteral("5f2b8c0e9a7d4e61b3c2a1f0e9d8c7b6")},
            {QStringLiteral("channel"), QStringLiteral("SIL")},
            {QStringLiteral("limit"), QStringLiteral("11")},
            {QStringLiteral("page"), QStringLiteral("3")}};
}

// The checksum input createURl hashes for sixParameters(): values in key order, the salt.
QByteArray checksumInput() {
    return QStringLiteral("102938|SIL|417|11|3|5f2b8c0e9a7d4e61b3c2a1f0e9d8c7b6Qm7tRvKe").toUtf8();
}

void BM_SignCreateURl(benchmark::State& state) {
    const QVariantMap params = sixParameters();
    const QByteArray digest = QCryptographicHash::hash(checksumInput(), QCryptographicHash::Md5);
    if (!tooles::createURl(params).endsWith(QString::fromLatin1(digest.toHex()))) {
        state.SkipWithError("the floor hashes other bytes than createURl");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(tooles::createURl(params));
}
BENCHMARK(BM_SignCreateURl);

void BM_SignMd5Floor(benchmark::State& state) {
    const QByteArray bytes = checksumInput();
    for (auto _ : state)
        benchmark::DoNotOptimize(QCryptographicHash::hash(bytes, QCryptographicHash::Md5));
}
BENCHMARK(BM_SignMd5Floor);

// This thread's CPU time in nanoseconds: the machine is shared, wall time is not ours.
double threadCpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e9 + double(ts.tv_nsec);
}

// Both in one run, in alternating batches, so that the ratio compares like with like.
void BM_SignRatioToMd5(benchmark::State& state) {
    constexpr int kBatch = 1000;
    const QVariantMap params = sixParameters();
    const QByteArray bytes = checksumInput();
    double signNs = 0;
    double md5Ns = 0;
    for (auto _ : state) {
        const double t0 = threadCpuNs();
        for (int i = 0; i < kBatch; ++i)
            benchmark::DoNotOptimize(tooles::createURl(params));
        const double t1 = threadCpuNs();
        for (int i = 0; i < kBatch; ++i)
            benchmark::DoNotOptimize(QCryptographicHash::hash(bytes, QCryptographicHash::Md5));
        const double t2 = threadCpuNs();
        signNs += t1 - t0;
        md5Ns += t2 - t1;
    }
    const double calls = double(state.iterations()) * kBatch;
    state.counters["createURl_ns"] = signNs / calls;
    state.counters["md5_ns"] = md5Ns / calls;
    state.counters["ratio"] = md5Ns > 0 ? signNs / md5Ns : 0;
}
BENCHMARK(BM_SignRatioToMd5)->Unit(benchmark::kMillisecond);
} // namespace
