// The screenshot walk fails when a step cannot do its job, names that step and goes on.
#include <QDir>
#include <QFileInfo>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "app/AppDelegate.h"
#include "app/ShellScreenshots.h"
#include "catalog/WZGuideViewController.h"
#include "platform/Application.h"
#include "platform/UserDefaults.h"
#include "platform/ui/ScreenshotWalk.h"
#include "service/ServiceConfig.h"
#include "tests/support/TestUtil.h"

namespace {

// A local address where nothing listens.
QString deadService() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

class WalkTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedBase_ = ServiceConfig::baseUrl();
        ServiceConfig::setBaseUrl(deadService());
        UserDefaults::standard().reload();
        delegate_ = std::make_unique<AppDelegate>();
        Application::shared().setDelegate(delegate_.get());
        ASSERT_TRUE(Application::shared().launch());
        WZGuideViewController::hide();
        testutil::spin(20);
        registerShellScreenshots();
    }
    void TearDown() override {
        delegate_.reset();
        Application::shared().setDelegate(nullptr);
        ServiceConfig::setBaseUrl(savedBase_);
    }
    Window* window() const { return delegate_->window(); }
    bool shot(const QString& name) const {
        return QFileInfo(QDir(out_.path()).filePath(name + QStringLiteral(".png"))).size() > 0;
    }

    testutil::ScopedHome home_;
    QTemporaryDir out_;
    QString savedBase_;
    std::unique_ptr<AppDelegate> delegate_;
};

} // namespace

TEST_F(WalkTest, AStepThatCannotDoItsJobFailsTheWalkByNameAndTheWalkGoesOn) {
    ScreenshotWalk::add(QStringLiteral("test_step_missing"), 9000,
                        [](ScreenshotWalk::Context& ctx) {
                            EXPECT_EQ(ctx.stepName(), QStringLiteral("test_step_missing"));
                            EXPECT_FALSE(ctx.require(false, QStringLiteral("no rows")));
                        });
    ScreenshotWalk::add(QStringLiteral("test_step_fine"), 9001, [](ScreenshotWalk::Context& ctx) {
        EXPECT_TRUE(ctx.require(true, QStringLiteral("unused")));
    });
    const ScreenshotWalk::Result result = ScreenshotWalk::run(
        out_.path(), window(),
        {QStringLiteral("test_step_missing"), QStringLiteral("test_step_fine")});
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.written, 2);
    EXPECT_EQ(result.failures, QStringList{QStringLiteral("test_step_missing: no rows")});
    EXPECT_TRUE(shot(QStringLiteral("test_step_missing")));
    EXPECT_TRUE(shot(QStringLiteral("test_step_fine")));

    const ScreenshotWalk::Result alone =
        ScreenshotWalk::run(out_.path(), window(), {QStringLiteral("test_step_fine")});
    EXPECT_TRUE(alone.ok());
}

TEST_F(WalkTest, WithNothingAnsweringTheStepsThatNeedTheServiceFailAndTheOthersPass) {
    const QStringList steps = {
        QStringLiteral("shell_tab1_bookshelf"), QStringLiteral("shell_tab2_recommend"),
        QStringLiteral("discovery_recommend_daily"), QStringLiteral("catalog_detail")};
    for (const QString& step : steps)
        ASSERT_TRUE(ScreenshotWalk::names().contains(step)) << step.toStdString();
    const ScreenshotWalk::Result result = ScreenshotWalk::run(out_.path(), window(), steps);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.written, 4);
    QStringList failed;
    for (const QString& failure : result.failures)
        failed.append(failure.section(QLatin1Char(':'), 0, 0));
    failed.removeDuplicates();
    EXPECT_EQ(failed, steps.mid(1)) << result.failures.join(QLatin1Char('\n')).toStdString();
}
