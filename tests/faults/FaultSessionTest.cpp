// The app's road against a service that fails three answers in ten (dropped connections, error
// pages, bodies that are not JSON) and answers late: no overlay left on, every failure shown,
// and a book database that still agrees with itself and with the service.
//
// FOLIA_FAULT_SECONDS sets how long the road is driven (30 s by default), FOLIA_FAULT_SEED the
// seed of the service's failures and of the road's choices.
#include <QSet>
#include <cstdio>

#include "engines/HttpRequest.h"
#include "platform/Localizable.h"
#include "service/ServiceConfig.h"
#include "tests/bookd/BookdHarness.h"
#include "tests/faults/FaultSession.h"
#include "tests/support/TestUtil.h"
#include "tools/bookd/SampleCatalog.h"

namespace {

int envInt(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

// The texts the screens on the road show, for failures and for what succeeded.
QSet<QString> noticesTheAppDefines() {
    return {L("The network is not good"),
            // reader
            QStringLiteral("更新成功！"), QStringLiteral("更新失败！"),
            QStringLiteral("已翻至最终页"), QStringLiteral("已翻至第一页"),
            QStringLiteral("已经是第一章！"), QStringLiteral("已经是最后一章！"),
            QStringLiteral("更新本章成功"), QStringLiteral("更新本章失败"),
            QStringLiteral("添加书签成功"), QStringLiteral("书签清除成功"),
            // contents
            QStringLiteral("更新成功"), QStringLiteral("服务器返回错误"),
            // book detail, and a whole book kept
            QStringLiteral("操作成功"), QStringLiteral("操作失败"), QStringLiteral("网络错误"),
            QStringLiteral("完成"),
            // feedback
            QStringLiteral("感谢你的提交！"), QStringLiteral("提交失败！"),
            // account lists
            QStringLiteral("删除失败"),
            // settings: the service's own message for the cleared records, or the app's texts
            // when it sends none
            QStringLiteral("阅读记录已清空"), QStringLiteral("清除成功"),
            QStringLiteral("清除失败")};
}

// Sequential calls of one path: which of them failed.
QList<bool> failurePattern(BookServerOptions options, int calls) {
    bookdtest::LocalBookd bookd(options);
    EXPECT_TRUE(bookd.started());
    ServiceConfig::setBaseUrl(bookd.base());
    QList<bool> pattern;
    for (int i = 0; i < calls; ++i)
        pattern.append(!bookdtest::fetch(QUrl(bookd.base() + "/data/categorylist")).ok());
    return pattern;
}

} // namespace

TEST(SeededFailuresTest, SameSeedFailsTheSameAnswers) {
    BookServerOptions options;
    options.failRate = 0.5;
    options.seed = 7;
    const QList<bool> first = failurePattern(options, 24);
    EXPECT_EQ(failurePattern(options, 24), first);
    EXPECT_TRUE(first.contains(true));
    EXPECT_TRUE(first.contains(false));
}

TEST(FaultSessionTest, TheRoadHoldsUpUnderFailures) {
    BookServerOptions options;
    options.failRate = 0.3;
    options.delayMs = 50;
    options.seed = quint32(envInt("FOLIA_FAULT_SEED", 1207));
    bookdtest::LocalBookd bookd(options);
    ASSERT_TRUE(bookd.started());
    ServiceConfig::setBaseUrl(bookd.base());
    ServiceConfig::setLookupBase(bookd.base());
    HttpRequest::setDefaultTimeOutSeconds(5);

    // The reader's account; its registration goes through the failures like everything else.
    const QString mobile = QStringLiteral("13912072026"), password = QStringLiteral("faults88");
    bool registered = false;
    for (int attempt = 0; attempt < 40 && !registered; ++attempt)
        registered = !bookdtest::registerByMobile(mobile, password).isEmpty();
    ASSERT_TRUE(registered);

    faults::FaultSession::Options road;
    road.seed = *options.seed;
    road.seconds = envInt("FOLIA_FAULT_SECONDS", 30);
    road.account = mobile;
    road.password = password;
    road.failuresInjected = [&bookd] { return bookd.server().failuresInjected(); };
    road.serviceText = [](int book, int chapter) {
        return SampleCatalog::chapterContent(book, chapter);
    };
    faults::FaultSession session(road);
    const faults::SessionReport report = session.run();
    std::printf("%s\n", qPrintable(report.summary()));
    std::fflush(stdout);

    EXPECT_GT(report.failuresInjected, 0);
    EXPECT_GE(report.signIns, 1);
    // Overlays and spinners came and went: that none is left running says something.
    EXPECT_GT(report.overlaysShown, 0);
    EXPECT_GT(report.spinnersSeen, 0);
    EXPECT_TRUE(report.faults.isEmpty()) << report.faults.join('\n').toStdString();
    EXPECT_TRUE(report.library.sound()) << report.library.problems.join('\n').toStdString();
    for (const faults::LibraryCheck& check : report.checkpoints)
        EXPECT_TRUE(check.sound()) << check.problems.join('\n').toStdString();
    // The session stored what it read: the check looked at real rows.
    EXPECT_GT(report.library.chapters, 0);
    const QSet<QString> defined = noticesTheAppDefines();
    for (const faults::ShownNotice& notice : report.notices) {
        // The login screen shows a refusal's own message, and nothing but the failure image when
        // the answer carries none (a body that is not JSON).
        const bool refusal = notice.screen == QLatin1String("LoginViewController") &&
                             notice.image == QLatin1String("read_refresh_no");
        const bool keptWithGaps = notice.text.startsWith(QStringLiteral("完成，"));
        EXPECT_TRUE(defined.contains(notice.text) || refusal || keptWithGaps)
            << notice.screen.toStdString() << " showed \"" << notice.text.toStdString() << "\"";
        EXPECT_FALSE(notice.underOverlay)
            << notice.screen.toStdString() << " showed \"" << notice.text.toStdString()
            << "\" under a progress overlay";
    }
}
