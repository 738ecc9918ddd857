#include "account/FormViewController.h"

#include <QLabel>

#include "account/TextField.h"
#include "app/tooles.h"
#include "engines/HttpRequest.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NoticeView.h"
#include "service/Endpoints.h"
#include "storage/UserStore.h"

FormViewController::FormViewController(QWidget* parent) : ViewController(parent) {}

FormViewController::~FormViewController() = default;

NoticeView* FormViewController::notify() const {
    return notify_;
}

HttpRequest* FormViewController::asiHttpRequest() const {
    return asiHttpRequest_;
}

void FormViewController::viewDidLoad() {
    if (drawsBackground_) {
        if (QWidget* background = tooles::bgView(true, false, this))
            background->lower();
    } else {
        // The container's paper shows through.
        setAutoFillBackground(false);
    }
    // Taps on buttons and fields are theirs; only the background closes the keyboard.
    GestureRecognizer::add(this, GestureRecognizer::Kind::Tap, this,
                           [this](QPoint) { resignAll(); });
}

void FormViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    if (notify_)
        notify_->hideNotice();
}

void FormViewController::resignAll() {
    for (TextField* field : findChildren<TextField*>())
        field->resignFirstResponder();
}

void FormViewController::showBDK(const QString& text, const QString& imageName) {
    HUDnotificationText_ = text;
    imageName_ = imageName;
    if (!notify_)
        notify_ = new NoticeView(this, 100);
    notify_->showBDK(text, imageName);
}

void FormViewController::displayNotification() {
    if (!notify_)
        return;
    notify_->raise();
    notify_->displayNotification();
}

void FormViewController::failNotice(const QString& text) {
    showBDK(text, QStringLiteral("read_refresh_no"));
    displayNotification();
}

Button* FormViewController::makeBarButton(const QString& title, int tag, bool back) {
    return tooles::barButton(this, QString(),
                             back ? QStringLiteral("public_toolBg_Button_back")
                                  : QStringLiteral("public_toolBg_Button"),
                             title, tag, [this](int t) { action(t); });
}

Button* FormViewController::makeFormButton(const QString& title, int tag, const QRect& frame) {
    Button* b = tooles::createButtonWithTitle(
        title, Qt::white, 17, this, [this](int t) { action(t); }, frame,
        QStringLiteral("books_Button_orange"), QString(), tag, this);
    b->setFontSize(17, true);
    return b;
}

TextField* FormViewController::makeField(int tag, const QString& placeholder) {
    auto* field = new TextField(this);
    field->setTag(tag);
    field->setPlaceholderText(placeholder);
    return field;
}

void FormViewController::send(const char* path, const QVariantMap& params, const QString& progress,
                              std::function<void(const Service::Answer&)> answered,
                              std::function<void()> failed) {
    if (asiHttpRequest_) {
        asiHttpRequest_->clearDelegatesAndCancel();
        asiHttpRequest_->deleteLater();
    }
    hudShown_ = !progress.isEmpty();
    // Owned by the screen: a screen that leaves mid-request takes its overlay along.
    if (hudShown_)
        tooles::showHUD(progress, this);
    HttpRequest* request = Service::request(Service::signedUrl(path, params), this);
    asiHttpRequest_ = request;
    // The handlers may take the screen away (a dismissal); nothing of it is touched after them.
    // Whether r is still this screen's request; if so it is let go and the overlay taken down.
    const auto takeBack = [this](HttpRequest* r) {
        if (r != asiHttpRequest_)
            return false;
        asiHttpRequest_ = nullptr;
        r->deleteLater();
        if (hudShown_)
            tooles::removeHUD();
        hudShown_ = false;
        return true;
    };
    request->setDidFinish([takeBack, answered](HttpRequest* r) {
        if (takeBack(r))
            answered(Service::decode(r));
    });
    request->setDidFail([takeBack, failed](HttpRequest* r) {
        if (takeBack(r))
            failed();
    });
    request->startAsynchronous();
}

bool FormViewController::signInWith(const Service::Answer& answer, const QString& account) {
    const QString token = Service::textOf(answer.dict.value(QStringLiteral("token")));
    if (token.isEmpty())
        return false;
    UserStore::signIn(token, answer.dict.value(QStringLiteral("userinfo")).toMap(), account);
    return true;
}

void FormViewController::sendRegistration(const QString& accountKey, const QString& account,
                                          const QString& password) {
    // The confirmation and the verification code stay on the device.
    const QVariantMap params{{accountKey, account},
                             {QStringLiteral("password"), password},
                             {QStringLiteral("channel"), tooles::deviceString()}};
    send(
        Endpoints::reg, params, QStringLiteral("正在注册..."),
        [this, account](const Service::Answer& answer) { registrationAnswered(answer, account); },
        [this] { failNotice(L("The network is not good")); });
}

void FormViewController::registrationAnswered(const Service::Answer& answer,
                                              const QString& account) {
    if (!answer.ok) {
        failNotice(answer.msg);
        return;
    }
    if (!signInWith(answer, account)) {
        qWarning("%s: the registration answer carries no token", metaObject()->className());
        failNotice(QString());
        return;
    }
    // The screen stays; the user leaves with the back buttons.
    showBDK(L("Register successful"), QStringLiteral("read_refresh_yes"));
    displayNotification();
}

void FormViewController::addPhoneHeader(const QString& phone, QLabel** regLabel,
                                        QLabel** phoneLabel) {
    auto* tab = new ImageView(this);
    tab->setObjectName(QStringLiteral("img_phone_reg"));
    tab->setImageNamed(QStringLiteral("column_Reg_tabbg_hover"));
    tab->setGeometry(15, 12, 150, 36);
    auto* reg = new QLabel(QStringLiteral("手机注册"), this);
    reg->setObjectName(QStringLiteral("label_phone_reg"));
    reg->setAlignment(Qt::AlignCenter);
    reg->setGeometry(tab->geometry().adjusted(0, 0, 0, -3));
    QFont f = reg->font();
    f.setPixelSize(16);
    f.setBold(true);
    reg->setFont(f);
    auto* number = new QLabel(QStringLiteral("手机号：%1").arg(phone), this);
    number->setObjectName(QStringLiteral("label_phone"));
    number->setGeometry(20, 56, 280, 24);
    f.setPixelSize(15);
    f.setBold(false);
    number->setFont(f);
    for (QLabel* label : {reg, number}) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, QColor(0x5a, 0x46, 0x34));
        label->setPalette(p);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    *regLabel = reg;
    *phoneLabel = number;
}
