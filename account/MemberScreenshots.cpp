#include "account/MemberScreenshots.h"

#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStandardPaths>

#include "account/AvatarPicker.h"
#include "account/FeedbackViewController.h"
#include "account/MyInfoViewController.h"
#include "app/tooles.h"
#include "engines/HttpRequest.h"
#include "platform/Paths.h"
#include "platform/Timing.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ScreenshotWalk.h"
#include "service/Endpoints.h"
#include "service/Service.h"
#include "storage/UserStore.h"

namespace {

using Context = ScreenshotWalk::Context;
constexpr int kOrder = 340;

Service::Answer callService(const char* path, const QVariantMap& params) {
    QObject owner;
    HttpRequest* request =
        Service::request(Service::signedUrl(QString::fromLatin1(path), params), &owner);
    Service::Answer answer;
    request->setDidFinish([&answer](HttpRequest* r) { answer = Service::decode(r); });
    request->startSynchronous();
    return answer;
}

// A picture for the avatar: warm evening hills under an amber sun.
QString avatarPicture() {
    const QString path = QDir(Paths::cachesDir()).filePath(QStringLiteral("walk-avatar.png"));
    QImage image(640, 480, QImage::Format_ARGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 480);
    sky.setColorAt(0, QColor(250, 222, 170));
    sky.setColorAt(1, QColor(238, 160, 90));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 244, 214));
    p.drawEllipse(QPointF(330, 200), 70, 70);
    p.setBrush(QColor(150, 92, 52));
    p.drawEllipse(QRectF(-120, 300, 520, 320));
    p.setBrush(QColor(106, 66, 40));
    p.drawEllipse(QRectF(220, 330, 560, 300));
    p.end();
    return image.save(path) ? path : QString();
}

// The member center pushed on the bookshelf's stack, signed in.
MyInfoViewController* openCenter(Context& ctx) {
    if (!memberWalkSignIn()) {
        ctx.fail(QStringLiteral("no signed-in reader"));
        return nullptr;
    }
    auto* center = new MyInfoViewController();
    ctx.push(center);
    ctx.settle(100);
    return center;
}

// The avatar sheet's "相册" with the walk's picture; the picker at its crop step.
AvatarPicker* openPicker(Context& ctx, MyInfoViewController* center) {
    const QString picture = avatarPicture();
    AvatarPicker::setChooser([picture](QWidget*, const QString&) { return picture; });
    ctx.addCleanUp([] { AvatarPicker::setChooser({}); });
    center->avatarTapped();
    const QList<ActionSheet*> sheets = ActionSheet::visibleSheets();
    if (sheets.isEmpty()) {
        ctx.fail(QStringLiteral("no action sheet"));
        return nullptr;
    }
    sheets.first()->clickButtonAtIndex(1);
    ctx.settle(150);
    auto* picker = qobject_cast<AvatarPicker*>(center->presentedViewController());
    if (!picker || picker->originalImage().isNull()) {
        ctx.fail(QStringLiteral("the picker did not take the picture"));
        return nullptr;
    }
    ctx.addCleanUp([center = QPointer<MyInfoViewController>(center)] {
        if (center && center->presentedViewController())
            center->dismissModal(false);
    });
    return picker;
}

FeedbackViewController* openFeedback(Context& ctx) {
    MyInfoViewController* center = openCenter(ctx);
    if (!center)
        return nullptr;
    center->didSelectRow(3);
    ctx.settle(100);
    auto* form =
        qobject_cast<FeedbackViewController*>(center->navigationController()->topViewController());
    if (!form)
        ctx.fail(QStringLiteral("the feedback form did not open"));
    return form;
}

// Shows the screen's notice at real speed, so that the shot finds it held up.
void atRealSpeed(Context& ctx) {
    const double speed = Timing::speed();
    Timing::setSpeed(1);
    ctx.addCleanUp([speed] { Timing::setSpeed(speed); });
}

} // namespace

bool memberWalkSignIn() {
    if (UserStore::isSignedIn() && !UserStore::userId().isEmpty())
        return true;
    const QString account =
        QStringLiteral("member%1@folia.test").arg(QDateTime::currentMSecsSinceEpoch());
    const QString password = QStringLiteral("member88");
    const Service::Answer reg =
        callService(Endpoints::reg, {{QStringLiteral("email"), account},
                                     {QStringLiteral("password"), password},
                                     {QStringLiteral("channel"), tooles::deviceString()}});
    if (!reg.ok) {
        qWarning("Screenshots: registration refused: %s", qPrintable(reg.msg));
        return false;
    }
    const Service::Answer login =
        callService(Endpoints::login, {{QStringLiteral("username"), account},
                                       {QStringLiteral("password"), password}});
    const QString token = Service::textOf(login.dict.value(QStringLiteral("token")));
    if (!login.ok || token.isEmpty()) {
        qWarning("Screenshots: login refused: %s", qPrintable(login.msg));
        return false;
    }
    UserStore::signIn(token, login.dict.value(QStringLiteral("userinfo")).toMap(), account);
    return true;
}

void registerMemberScreenshots() {
    ScreenshotWalk::add(QStringLiteral("member_center"), kOrder, [](Context& ctx) {
        MyInfoViewController* center = openCenter(ctx);
        if (center)
            ctx.require(center->labelUsername()->text().contains(UserStore::currentAccount()),
                        QStringLiteral("the center does not name the signed-in account"));
        if (center && center->avatarSource() != QLatin1String("center_headBg"))
            ctx.fail(QStringLiteral("a new reader's avatar is not the default one"));
    });
    ScreenshotWalk::add(QStringLiteral("member_avatar_sheet"), kOrder + 1, [](Context& ctx) {
        if (MyInfoViewController* center = openCenter(ctx)) {
            center->avatarTapped();
            ctx.settle(100);
        }
    });
    ScreenshotWalk::add(QStringLiteral("member_avatar_crop"), kOrder + 2, [](Context& ctx) {
        if (MyInfoViewController* center = openCenter(ctx)) {
            if (AvatarPicker* picker = openPicker(ctx, center)) {
                const QSize size = picker->originalImage().size();
                picker->setCropRect(QRect(size.width() / 2 - 170, 40, 340, 340));
                ctx.settle(50);
            }
        }
    });
    ScreenshotWalk::add(QStringLiteral("member_center_avatar"), kOrder + 3, [](Context& ctx) {
        MyInfoViewController* center = openCenter(ctx);
        if (!center)
            return;
        AvatarPicker* picker = openPicker(ctx, center);
        if (!picker)
            return;
        const QSize size = picker->originalImage().size();
        picker->setCropRect(QRect(size.width() / 2 - 170, 40, 340, 340));
        picker->choose();
        ctx.settle(150);
        if (center->avatarSource() == QLatin1String("center_headBg"))
            ctx.fail(QStringLiteral("the avatar did not change"));
    });
    ScreenshotWalk::add(QStringLiteral("member_version_check"), kOrder + 4, [](Context& ctx) {
        MyInfoViewController* center = openCenter(ctx);
        if (!center)
            return;
        center->didSelectRow(4);
        // The store's answer comes first; a busy machine may take a while.
        if (!ctx.waitFor([] { return !AlertView::visibleAlerts().isEmpty(); }))
            ctx.fail(QStringLiteral("no alert"));
    });
    ScreenshotWalk::add(QStringLiteral("member_feedback_suggest"), kOrder + 5, [](Context& ctx) {
        if (FeedbackViewController* form = openFeedback(ctx)) {
            form->textFeedback()->setPlainText(
                QStringLiteral("夜间模式的文字可以再柔和一些，长时间阅读眼睛更舒服。"));
            form->textEmail()->setText(QStringLiteral("reader@folia.test"));
            ctx.settle(50);
        }
    });
    ScreenshotWalk::add(QStringLiteral("member_feedback_request"), kOrder + 6, [](Context& ctx) {
        if (FeedbackViewController* form = openFeedback(ctx)) {
            form->change2();
            form->textFeedback()->setPlainText(QStringLiteral("《山海旧梦》 作者：青石"));
            form->textQQ()->setText(QStringLiteral("20231108"));
            ctx.settle(50);
        }
    });
    ScreenshotWalk::add(QStringLiteral("member_feedback_sent"), kOrder + 7, [](Context& ctx) {
        FeedbackViewController* form = openFeedback(ctx);
        if (!form)
            return;
        // "&", "=" and "+" reach the service as typed.
        form->textFeedback()->setPlainText(
            QStringLiteral("希望搜索能组合条件：作者=青石 & 分类+字数。"));
        atRealSpeed(ctx);
        const int before = form->notify()->displayCount();
        form->action(1);
        for (int i = 0; i < 100 && form->notify()->displayCount() == before; ++i)
            ctx.settle(50);
        ctx.settle(600);
        if (form->notify()->text() != QStringLiteral("感谢你的提交！"))
            ctx.fail(form->notify()->text());
    });
}
