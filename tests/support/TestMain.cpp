// Shared main of every test executable: one application object on the offscreen platform,
// a fresh FOLIA_HOME, animations and delays at speed 0.
#include <QApplication>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "platform/Timing.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ::testing::InitGoogleMock(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("folia-tests"));

    QTemporaryDir home;
    qputenv("FOLIA_HOME", home.path().toUtf8());
    Paths::setHome(home.path());
    Timing::setSpeed(0);

    return RUN_ALL_TESTS();
}
