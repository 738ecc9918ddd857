// The feedback form: the two types, what is sent, the answers, the QQ limit and the form kept
// above the keyboard.
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>

#include "account/FeedbackViewController.h"
#include "account/MyInfoViewController.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "tests/member/MemberTestSupport.h"

using namespace membertest;
using testutil::waitUntil;

namespace {

class FeedbackTest : public MemberScreenTest {
protected:
    FeedbackViewController* open() {
        push(new MyInfoViewController());
        auto* form = push(new FeedbackViewController());
        window->activateWindow();
        return form;
    }
    static void type(QWidget* input, const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(input, &press);
        }
    }
    // Submits and waits for the answer's notice.
    bool submitAndWait(FeedbackViewController* form, int notices) {
        form->btnSubmit2()->click();
        return waitForNotice(form->notify(), notices) &&
               waitUntil([&] { return huds(window.get()) == 0; });
    }
};

TEST_F(FeedbackTest, BlanksAndEmptyOptionalFieldsAreSentAsTheyAre) {
    signIn(5);
    service.route("GET", "/feedback/form", FakeService::Reply::json(R"({"result":"ok"})"));
    FeedbackViewController* form = open();
    EXPECT_EQ(form->selectedType(), QStringLiteral("1"));
    form->textFeedback()->setPlainText(QStringLiteral("   "));

    form->btnSubmit()->click();
    const QList<ProgressHUD*> shown = window->findChildren<ProgressHUD*>();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first()->labelText(), QStringLiteral("正在提交反馈"));
    ASSERT_TRUE(waitForNotice(form->notify()));
    const auto sent = service.requests("/feedback/form");
    ASSERT_EQ(sent.size(), 1);
    const FakeService::Request& r = sent.first();
    EXPECT_EQ(r.queryValue("content"), QStringLiteral("   "));
    EXPECT_EQ(r.queryValue("channel"), tooles::deviceString());
    EXPECT_TRUE(r.hasQueryKey("email"));
    EXPECT_EQ(r.queryValue("email"), QString(""));
    EXPECT_TRUE(r.hasQueryKey("qq"));
    EXPECT_EQ(r.queryValue("qq"), QString(""));
    EXPECT_EQ(r.queryValue("type"), QStringLiteral("1"));
    EXPECT_EQ(r.queryValue("token"), QStringLiteral("tok-5"));
    EXPECT_TRUE(r.hasQueryKey("checksum"));
    EXPECT_EQ(form->notify()->text(), QStringLiteral("感谢你的提交！"));
    EXPECT_EQ(form->notify()->imageName(), QStringLiteral("read_refresh_yes"));
}

TEST_F(FeedbackTest, TheTypeChoosesTheLabelsPromptAndEmptyTextNotice) {
    FeedbackViewController* form = open();
    EXPECT_TRUE(form->btnRadio1()->isSelected());
    EXPECT_FALSE(form->btnRadio2()->isSelected());
    EXPECT_EQ(form->labelForDescTip()->text(),
              L("Please describe your suggestions, comments, questions, such as:"));

    form->btnSubmit2()->click();
    ASSERT_TRUE(waitForNotice(form->notify(), 1));
    EXPECT_EQ(form->notify()->text(), L("Feedback suggestions can not be empty"));
    EXPECT_EQ(form->notify()->imageName(), QStringLiteral("read_refresh_no"));

    tap(form->labelForRadio2());
    EXPECT_EQ(form->selectedType(), QStringLiteral("2"));
    EXPECT_FALSE(form->btnRadio1()->isSelected());
    EXPECT_EQ(form->labelForDescTip()->text(), L("Please describe your request books:"));
    ASSERT_TRUE(waitUntil([&] { return !form->notify()->isAnimating(); }));
    form->action(1);
    ASSERT_TRUE(waitForNotice(form->notify(), 2));
    EXPECT_EQ(form->notify()->text(), L("To beg the book can not be empty"));
    EXPECT_TRUE(form->textFeedback()->hasFocus());
    EXPECT_EQ(service.requests("/feedback/form").size(), 0);

    // Signed out, the request simply carries no token; the radio buttons switch back.
    form->btnRadio1()->click();
    EXPECT_EQ(form->selectedType(), QStringLiteral("1"));
    service.route("GET", "/feedback/form", FakeService::Reply::json(R"({"result":"ok"})"));
    form->textFeedback()->setPlainText(QStringLiteral("夜间模式再暗一点"));
    form->textEmail()->setText(QStringLiteral("a@b.cn"));
    form->textQQ()->setText(QStringLiteral("12345"));
    ASSERT_TRUE(waitUntil([&] { return !form->notify()->isAnimating(); }));
    ASSERT_TRUE(submitAndWait(form, 3));
    const FakeService::Request r = service.requests("/feedback/form").first();
    EXPECT_FALSE(r.hasQueryKey("token"));
    EXPECT_EQ(r.queryValue("content"), QStringLiteral("夜间模式再暗一点"));
    EXPECT_EQ(r.queryValue("email"), QStringLiteral("a@b.cn"));
    EXPECT_EQ(r.queryValue("qq"), QStringLiteral("12345"));
    // Success empties the inputs and keeps the type.
    EXPECT_TRUE(form->textFeedback()->toPlainText().isEmpty());
    EXPECT_TRUE(form->textEmail()->text().isEmpty());
    EXPECT_TRUE(form->textQQ()->text().isEmpty());
    EXPECT_EQ(form->selectedType(), QStringLiteral("1"));
}

TEST_F(FeedbackTest, RefusalAndNetworkFailureKeepTheText) {
    signIn(6);
    FeedbackViewController* form = open();
    form->change2();
    form->textFeedback()->setPlainText(QStringLiteral("想看《山海书》"));
    form->textEmail()->setText(QStringLiteral("x@y.z"));
    form->textQQ()->setText(QStringLiteral("10001"));

    int notices = 0;
    for (const FakeService::Reply& reply :
         {FakeService::Reply::json(R"({"result":"error","msg":"busy"})"),
          FakeService::Reply::text("<html>oops</html>", "text/html"),
          FakeService::Reply::dropped()}) {
        service.route("GET", "/feedback/form", reply);
        ASSERT_TRUE(waitUntil([&] { return !form->notify()->isAnimating(); }));
        ASSERT_TRUE(submitAndWait(form, ++notices));
        EXPECT_EQ(form->textFeedback()->toPlainText(), QStringLiteral("想看《山海书》"));
        EXPECT_EQ(form->textEmail()->text(), QStringLiteral("x@y.z"));
        EXPECT_EQ(form->textQQ()->text(), QStringLiteral("10001"));
        EXPECT_EQ(form->selectedType(), QStringLiteral("2"));
        EXPECT_EQ(form->notify()->imageName(), QStringLiteral("read_refresh_no"));
    }
    EXPECT_EQ(form->notify()->text(), L("The network is not good"));
    EXPECT_EQ(service.requests("/feedback/form").first().queryValue("type"), QStringLiteral("2"));

    // A form that leaves while its submission runs is never called back.
    FakeService::Reply slow = FakeService::Reply::json(R"({"result":"ok"})");
    slow.delayMs = 300;
    service.route("GET", "/feedback/form", slow);
    const qsizetype before = service.requests("/feedback/form").size();
    form->action(1);
    ASSERT_TRUE(waitUntil([&] { return service.requests("/feedback/form").size() > before; }));
    QPointer<FeedbackViewController> watch(form);
    shelfStack->popViewController(false);
    ASSERT_TRUE(waitUntil([&] { return watch.isNull(); }));
    testutil::spin(500);
    EXPECT_EQ(huds(window.get()), 0);
}

TEST_F(FeedbackTest, TheQQNumberStopsAtElevenDigitsAndBackLeaves) {
    FeedbackViewController* form = open();
    form->textQQ()->setFocus();
    type(form->textQQ(), QStringLiteral("123456789012"));
    EXPECT_EQ(form->textQQ()->text(), QStringLiteral("12345678901"));
    form->textQQ()->clear();
    type(form->textQQ(), QStringLiteral("12a3"));
    EXPECT_EQ(form->textQQ()->text(), QStringLiteral("123"));
    form->textQQ()->clear();
    form->textQQ()->insert(QStringLiteral("123456789012345"));
    EXPECT_EQ(form->textQQ()->text().size(), FeedbackViewController::kQQMaxLength);

    form->btnBack()->click();
    ASSERT_TRUE(waitUntil([&] {
        return qobject_cast<MyInfoViewController*>(shelfStack->topViewController()) != nullptr;
    }));
}

TEST_F(FeedbackTest, TheFormRisesAboveTheKeyboardAndComesBack) {
    FeedbackViewController* form = open();
    ASSERT_EQ(Window::screenHeight(), 568);
    EXPECT_EQ(FeedbackViewController::raiseFor(1), 65);
    EXPECT_EQ(FeedbackViewController::raiseFor(2), 115);
    EXPECT_EQ(FeedbackViewController::raiseFor(0), 10);

    form->textEmail()->setFocus();
    ASSERT_TRUE(waitUntil([&] { return form->raisedBy() == 65; }));
    // Next goes on to the QQ number.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(form->textEmail(), &enter);
    EXPECT_TRUE(form->textQQ()->hasFocus());
    ASSERT_TRUE(waitUntil([&] { return form->raisedBy() == 115; }));
    form->textFeedback()->setFocus();
    ASSERT_TRUE(waitUntil([&] { return form->raisedBy() == 10; }));

    // A tap on the background closes the keyboard and puts the form back.
    auto* background = form->scrollView()->widget();
    mouse(background, QEvent::MouseButtonPress, QPoint(300, 20));
    mouse(background, QEvent::MouseButtonRelease, QPoint(300, 20));
    ASSERT_TRUE(waitUntil([&] { return form->raisedBy() == 0; }));
    EXPECT_FALSE(form->textFeedback()->hasFocus());

    Window::setScreenHeight(480);
    EXPECT_EQ(FeedbackViewController::raiseFor(1), 155);
    EXPECT_EQ(FeedbackViewController::raiseFor(2), 205);
    EXPECT_EQ(FeedbackViewController::raiseFor(0), 100);
    Window::setScreenHeight(568);
}

} // namespace
