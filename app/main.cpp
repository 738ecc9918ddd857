// folia: the phone reading client, in a phone-sized window.
#include <QApplication>
#include <QCommandLineParser>
#include <QFontDatabase>
#include <QTimer>
#include <cstdio>

#include "app/AppDelegate.h"
#include "app/FirstFrame.h"
#include "app/ShellScreenshots.h"
#include "app/Thumbnail.h"
#include "catalog/WZGuideViewController.h"
#include "platform/Application.h"
#include "platform/Localizable.h"
#include "platform/PushNotifications.h"
#include "platform/Timing.h"
#include "platform/ui/ScreenshotWalk.h"
#include "platform/ui/Window.h"
#include "service/ServiceConfig.h"

namespace {
// The value of an option given as "--name value" or "--name=value", read before the application
// object exists (the scale must be set before).
QString earlyOption(int argc, char** argv, const char* name) {
    const QByteArray flag = QByteArray("--") + name;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == flag && i + 1 < argc)
            return QString::fromLocal8Bit(argv[i + 1]);
        if (arg.startsWith(flag + '='))
            return QString::fromLocal8Bit(arg.mid(flag.size() + 1));
    }
    return {};
}

// An option that takes a value (with defaultValue when it is not given).
QCommandLineOption valueOption(const char* name, const char* description, const char* valueName,
                               const char* defaultValue = nullptr) {
    return QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(description),
                              QString::fromLatin1(valueName), QString::fromLatin1(defaultValue));
}

// The option's value when given, else the environment variable's.
QString valueOrEnvironment(const QCommandLineParser& parser, const QCommandLineOption& option,
                           const char* variable) {
    return parser.isSet(option) ? parser.value(option) : qEnvironmentVariable(variable);
}

void useReadingFont() {
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"Noto Sans CJK SC", "Noto Sans SC", "WenQuanYi Micro Hei"}) {
        if (families.contains(QString::fromLatin1(name))) {
            QFont font(QString::fromLatin1(name));
            font.setPixelSize(14);
            font.setHintingPreference(QFont::PreferNoHinting);
            QApplication::setFont(font);
            return;
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    // Points are drawn at the desktop's scale: --scale N (1 by default, 2 for screenshots so
    // they are crisp).
    QString scale = earlyOption(argc, argv, "scale");
    const bool screenshots = !earlyOption(argc, argv, "screenshots").isEmpty();
    if (scale.isEmpty() && screenshots)
        scale = QStringLiteral("2");
    // Without --scale a scale factor set in the environment stands.
    if (!scale.isEmpty())
        qputenv("QT_SCALE_FACTOR", scale.toLatin1());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("folia"));
    QApplication::setApplicationVersion(QStringLiteral(FOLIA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("folia, a reader for serialized web novels"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption serviceUrl =
        valueOption("service-url", "The book service's base URL.", "URL");
    const QCommandLineOption lookupUrl =
        valueOption("lookup-url", "The app-store lookup's base URL.", "URL");
    const QCommandLineOption screen =
        valueOption("screen", "Screen height in points: 568 or 480.", "HEIGHT", "568");
    const QCommandLineOption pushToken =
        valueOption("push-token", "The push device token to register.", "HEX");
    const QCommandLineOption push =
        valueOption("push", "Deliver this push payload after launch.", "FILE.json");
    const QCommandLineOption shots =
        valueOption("screenshots", "Write a PNG of each screen into DIR and quit.", "DIR");
    const QCommandLineOption shotsOnly = valueOption(
        "screenshots-only", "With --screenshots: only these steps (comma-separated).", "NAMES");
    const QCommandLineOption scaleOption =
        valueOption("scale", "Pixels per point (1; 2 for screenshots).", "N");
    parser.addOptions(
        {serviceUrl, lookupUrl, screen, pushToken, push, shots, shotsOnly, scaleOption});
    const QCommandLineOption startupTime(
        QStringLiteral("startup-time"),
        QStringLiteral("Print the milliseconds from process start to the bookshelf's first "
                       "frame, and quit."));
    const QCommandLineOption thumbnail =
        valueOption("thumbnail",
                    "Write a copy of the PNG SOURCE scaled to WIDTH pixels wide as TARGET, and "
                    "quit (the README's pictures).",
                    "WIDTH");
    parser.addOptions({startupTime, thumbnail});
    parser.addPositionalArgument(QStringLiteral("SOURCE TARGET"),
                                 QStringLiteral("With --thumbnail: the image and its copy."));
    parser.process(qapp);

    if (parser.isSet(thumbnail)) {
        const QStringList files = parser.positionalArguments();
        if (files.size() != 2) {
            std::fprintf(stderr, "--thumbnail WIDTH SOURCE TARGET: one source, one target\n");
            return 2;
        }
        QString error;
        if (!Thumbnail::write(files.at(0), files.at(1), parser.value(thumbnail).toInt(), &error)) {
            std::fprintf(stderr, "--thumbnail: %s\n", qUtf8Printable(error));
            return 1;
        }
        return 0;
    }

    useReadingFont();
    Localizable::install();

    const QString service = valueOrEnvironment(parser, serviceUrl, "FOLIA_SERVICE_URL");
    if (!service.isEmpty())
        ServiceConfig::setBaseUrl(service);
    const QString lookup = valueOrEnvironment(parser, lookupUrl, "FOLIA_LOOKUP_URL");
    if (!lookup.isEmpty())
        ServiceConfig::setLookupBase(lookup);
    Window::setScreenHeight(parser.value(screen).toInt());
    if (parser.isSet(pushToken)) {
        const QByteArray token = PushNotifications::tokenFromHex(parser.value(pushToken));
        if (token.isEmpty())
            qWarning("--push-token: not a hexadecimal token: %s",
                     qPrintable(parser.value(pushToken)));
        PushNotifications::setDeviceToken(token);
    }

    AppDelegate delegate;
    Application& app = Application::shared();
    app.setDelegate(&delegate);
    QObject::connect(&qapp, &QGuiApplication::applicationStateChanged, &delegate,
                     [&app](Qt::ApplicationState state) {
                         if (state == Qt::ApplicationActive)
                             app.setApplicationState(Application::State::Active);
                         else if (state == Qt::ApplicationHidden ||
                                  state == Qt::ApplicationSuspended)
                             app.setApplicationState(Application::State::Background);
                     });
    QObject::connect(&qapp, &QCoreApplication::aboutToQuit, &delegate, [&app] { app.terminate(); });
    if (parser.isSet(shots))
        Timing::setSpeed(0);
    app.launch();

    if (parser.isSet(startupTime) && !parser.isSet(shots)) {
        QWidget* shelf =
            delegate.window()
                ? delegate.window()->findChild<QWidget*>(QStringLiteral("FirstViewController"))
                : nullptr;
        if (!shelf) {
            std::fprintf(stderr, "--startup-time: the window shows no bookshelf\n");
            app.setDelegate(nullptr);
            return 1;
        }
        new FirstFrame(
            shelf,
            [](qint64 ms) {
                std::printf("first frame of the bookshelf: %lld ms after process start\n",
                            static_cast<long long>(ms));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            },
            &delegate);
    }

    if (parser.isSet(push)) {
        const QString file = parser.value(push);
        QTimer::singleShot(0, &delegate, [file] { PushNotifications::deliverFile(file); });
    }

    if (parser.isSet(shots)) {
        registerShellScreenshots();
        QCoreApplication::processEvents();
        // The guide that a first launch shows would cover every other screen.
        WZGuideViewController::hide();
        const QStringList only =
            parser.value(shotsOnly).split(QLatin1Char(','), Qt::SkipEmptyParts);
        const ScreenshotWalk::Result walk =
            ScreenshotWalk::run(parser.value(shots), delegate.window(), only);
        app.setDelegate(nullptr);
        // A step that could not do its job fails the walk.
        return walk.ok() ? 0 : 1;
    }

    const int result = QApplication::exec();
    app.setDelegate(nullptr);
    return result;
}
