// What a run of folia leaves on the terminal when the web engine starts: folia's own lines, and
// the engine's start-up description only when FOLIA_ENGINE_LOG=1 asks for it. The engine is
// started in a child process (this executable, running the disabled test below) so that its
// stderr can be read whole, from the very first line the engine writes.
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include "platform/ui/WebView.h"
#include "tests/support/TestUtil.h"

namespace {

const char* const kOwnWarning = "folia: a line of our own";

// Runs in the child only: starts the engine, loads a page, writes one line of our own.
TEST(EngineTerminal, DISABLED_StartEngineAndLoadPage) {
    {
        WebView view;
        view.resize(320, 480);
        view.show();
        QList<bool> finished;
        QObject::connect(&view, &WebView::didFinishLoad, [&finished](bool ok) { finished << ok; });
        view.loadHTMLString(QStringLiteral("<p>第一章</p>"));
        ASSERT_TRUE(testutil::waitUntil([&] { return !finished.isEmpty(); }, 120000));
        EXPECT_EQ(finished, QList<bool>{true});
    }
    qWarning("%s", kOwnWarning);
}

// The child's stderr; engineLog sets FOLIA_ENGINE_LOG=1. The child gets no engine flags of
// the test runner's, so the engine picks its own way of drawing as it does for a user.
QString childTerminal(bool engineLog) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"));
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    env.remove(QStringLiteral("FOLIA_ENGINE_LOG"));
    if (engineLog)
        env.insert(QStringLiteral("FOLIA_ENGINE_LOG"), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_also_run_disabled_tests"),
                 QStringLiteral("--gtest_filter=EngineTerminal.DISABLED_StartEngineAndLoadPage")});
    const bool done = child.waitForFinished(300000);
    const QString err = QString::fromUtf8(child.readAllStandardError());
    EXPECT_TRUE(done) << "the child did not finish";
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << qPrintable(err);
    EXPECT_EQ(child.exitCode(), 0)
        << qPrintable(err) << qPrintable(QString::fromUtf8(child.readAllStandardOutput()));
    return err;
}

TEST(EngineTerminal, KeepsToFoliasOwnLinesUnlessTheEngineLogIsAskedFor) {
    const QString quiet = childTerminal(false);
    EXPECT_TRUE(quiet.contains(QLatin1String(kOwnWarning))) << qPrintable(quiet);
    for (const char* engineLine :
         {"GL Type", "Init Parameters", "No suitable graphics backend found", "Sandboxing disabled",
          "WebEngineContext used before"})
        EXPECT_FALSE(quiet.contains(QLatin1String(engineLine)))
            << engineLine << " reached the terminal:\n"
            << qPrintable(quiet);

    // Asked for, the engine's description is there (which also shows the lines above are
    // really written on this machine, and kept back only by the filter).
    const QString loud = childTerminal(true);
    EXPECT_TRUE(loud.contains(QLatin1String("Init Parameters"))) << qPrintable(loud);
    EXPECT_TRUE(loud.contains(QLatin1String(kOwnWarning))) << qPrintable(loud);
}

} // namespace
