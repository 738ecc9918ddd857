// Shared main of folia_bench: one application object on the offscreen platform and a fresh
// FOLIA_HOME, then every registered benchmark.
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "platform/Paths.h"
#include "platform/Timing.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QTemporaryDir home;
    Paths::setHome(home.path());
    Timing::setSpeed(0);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
