// bookd: the reference book service with its sample catalog.
//   bookd --data DIR [--host 127.0.0.1] [--port N] [--delay-ms N] [--fail-rate P] [--seed N]
//         [--app-version X.Y.Z] [--quiet]
#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>

#include "tools/bookd/BookServer.h"

int main(int argc, char** argv) {
    // No window is ever shown; the GUI application is there for the fonts of the covers.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bookd"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The reference book service for folia."));
    parser.addHelpOption();
    const QCommandLineOption data(QStringLiteral("data"),
                                  QStringLiteral("Folder of the catalog (created and seeded)."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("Address to listen on."),
                                  QStringLiteral("HOST"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Port; 0 picks a free one."), QStringLiteral("N"),
                                  QStringLiteral("8090"));
    const QCommandLineOption delay(QStringLiteral("delay-ms"),
                                   QStringLiteral("Wait this long before every answer."),
                                   QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption failRate(
        QStringLiteral("fail-rate"),
        QStringLiteral("Share (0..1) of answers that fail: a dropped connection, an HTTP 500 "
                       "page or a body that is not JSON."),
        QStringLiteral("P"), QStringLiteral("0"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the failure choice, so that a run can "
                                                 "be repeated."),
                                  QStringLiteral("N"));
    const QCommandLineOption version(QStringLiteral("app-version"),
                                     QStringLiteral("Version that /lookup reports."),
                                     QStringLiteral("X.Y.Z"), QStringLiteral("1.0.0"));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("No log line per request."));
    parser.addOptions({data, host, port, delay, failRate, seed, version, quiet});
    parser.process(app);

    if (!parser.isSet(data)) {
        std::fprintf(stderr, "bookd: --data DIR is required\n");
        return 2;
    }
    bool portOk = false, delayOk = false, rateOk = false, seedOk = true;
    BookServerOptions options;
    options.dataDir = parser.value(data);
    options.host = parser.value(host);
    options.port = parser.value(port).toInt(&portOk);
    options.delayMs = parser.value(delay).toInt(&delayOk);
    options.failRate = parser.value(failRate).toDouble(&rateOk);
    if (parser.isSet(seed))
        options.seed = parser.value(seed).toUInt(&seedOk);
    options.appVersion = parser.value(version);
    options.log = !parser.isSet(quiet);
    if (!portOk || options.port < 0 || options.port > 65535 || !delayOk || options.delayMs < 0 ||
        !rateOk || options.failRate < 0 || options.failRate > 1 || !seedOk) {
        std::fprintf(stderr, "bookd: --port, --delay-ms, --fail-rate or --seed out of range\n");
        return 2;
    }

    BookServer server(options);
    if (!server.bind())
        return 1;
    std::printf("bookd: listening on http://%s port %d\n", qPrintable(options.host), server.port());
    std::fflush(stdout);
    server.run();
    return 0;
}
