#include "account/CheckCaptchaViewController.h"

#include <QLabel>
#include <QTimer>

#include "account/FormTable.h"
#include "account/KeyboardDoneButton.h"
#include "account/RegPhoneNowViewController.h"
#include "account/RegisterViewController.h"
#include "account/TextField.h"
#include "platform/Clock.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "service/Endpoints.h"
#include "storage/CHKeychain.h"

namespace {
constexpr int kCodeLength = 6;

QVariantMap savedPhone() {
    return CHKeychain::load(QString::fromLatin1(CHKeychain::kSavePhone)).toMap();
}
} // namespace

CheckCaptchaViewController::CheckCaptchaViewController(QWidget* parent)
    : FormViewController(parent) {
    setObjectName(QStringLiteral("CheckCaptchaViewController"));
    setTitle(L("check code"));
}

CheckCaptchaViewController::~CheckCaptchaViewController() = default;

void CheckCaptchaViewController::viewDidLoad() {
    FormViewController::viewDidLoad();
    const int w = Window::screenBounds().width();
    const QVariantMap saved = savedPhone();
    keyChainMobile_ = saved.value(QString::fromLatin1(CHKeychain::kPhone)).toString();
    // A missing item leaves the code absent, and then no entry matches.
    const QVariant code = saved.value(QString::fromLatin1(CHKeychain::kValidate));
    keyChainCode_ = code.isValid() ? code.toString() : QString();

    btnBack_ = makeBarButton(L("back"), 0, true);
    setLeftBarButton(btnBack_);
    setHidesBackButton(true);

    addPhoneHeader(keyChainMobile_, &label_phone_reg_, &label_phone_);

    textCaptcha_ = makeField(1, L("Please enter the verification code"));
    textCaptcha_->setObjectName(QStringLiteral("textCaptcha"));
    textCaptcha_->setKeyboard(TextField::Keyboard::NumberPad);
    textCaptcha_->setReturnKey(TextField::ReturnKey::Done);
    textCaptcha_->setCharacterLimit(kCodeLength);
    textCaptcha_->setOnReturn([](TextField* f) { f->resignFirstResponder(); });
    codeTable_ = new FormTable(this, 12);
    codeTable_->addRow(QString(), textCaptcha_);
    codeTable_->setGeometry(15, 88, w - 30, FormTable::kRowHeight);

    btnSubmitCaptcha_ =
        makeFormButton(L("Submit verification code"), 1, QRect(15, 148, w - 30, 42));
    btnSubmitCaptcha_->setObjectName(QStringLiteral("btnSubmitCaptcha"));
    btnReGetCaptcha_ =
        makeFormButton(L("Reacquire verification code"), 2, QRect(15, 200, w - 30, 42));
    btnReGetCaptcha_->setObjectName(QStringLiteral("btnReGetCaptcha"));

    m_pTimer_ = new QTimer(this);
    m_pTimer_->setInterval(1000);
    connect(m_pTimer_, &QTimer::timeout, this, &CheckCaptchaViewController::calcuRemainTime);

    doneInKeyboardButton_ = new KeyboardDoneButton(this);
    doneInKeyboardButton_->watch(textCaptcha_);
}

void CheckCaptchaViewController::viewWillAppear(bool animated) {
    FormViewController::viewWillAppear(animated);
    doneInKeyboardButton_->setScreenVisible(true);
}

void CheckCaptchaViewController::viewWillDisappear(bool animated) {
    FormViewController::viewWillDisappear(animated);
    doneInKeyboardButton_->setScreenVisible(false);
}

void CheckCaptchaViewController::action(int tag) {
    switch (tag) {
    case 1:
        checkCode();
        break;
    case 2:
        reGetCode();
        break;
    case 0:
        if (NavigationController* nav = navigationController())
            nav->popToFirstOfClass<RegisterViewController>(true);
        break;
    default:
        break;
    }
}

void CheckCaptchaViewController::checkCode() {
    const QString code = textCaptcha_->text();
    if (code.isEmpty()) {
        failNotice(L("The verification code can not be empty"));
        textCaptcha_->becomeFirstResponder();
        return;
    }
    if (code.size() < kCodeLength) {
        failNotice(L("The verification code length should be").arg(kCodeLength));
        textCaptcha_->becomeFirstResponder();
        return;
    }
    // Checked here, against the code the service sent; the service never sees the entry.
    if (keyChainCode_.isNull() || code != keyChainCode_) {
        failNotice(QStringLiteral("验证码不正确"));
        return;
    }
    if (NavigationController* nav = navigationController())
        nav->pushViewController(new RegPhoneNowViewController(), true);
}

void CheckCaptchaViewController::reGetCode() {
    const QString mobile = keyChainMobile_;
    send(
        Endpoints::sendValidateCode, {{QStringLiteral("mobile"), mobile}}, QString(),
        [this, mobile](const Service::Answer& answer) {
            if (!answer.ok) {
                failNotice(QStringLiteral("获取验证码失败"));
                return;
            }
            keyChainCode_ = answer.msg;
            CHKeychain::save(QString::fromLatin1(CHKeychain::kSavePhone),
                             QVariantMap{{QString::fromLatin1(CHKeychain::kPhone), mobile},
                                         {QString::fromLatin1(CHKeychain::kValidate), answer.msg}});
        },
        [this] { failNotice(L("The network is not good")); });
    // The countdown runs whatever the answer.
    btnReGetCaptcha_->setEnabled(false);
    m_pStartDate_ = Clock::now();
    m_fGameTime_ = 60.0;
    m_pTimer_->start();
}

void CheckCaptchaViewController::calcuRemainTime() {
    const qint64 elapsed = m_pStartDate_.secsTo(Clock::now());
    const int remaining = int(m_fGameTime_ - double(elapsed));
    const QString title = L("Reacquire verification code");
    if (remaining >= 1) {
        btnReGetCaptcha_->setText(QStringLiteral("%1(%2)").arg(title).arg(remaining));
        return;
    }
    m_pTimer_->stop();
    btnReGetCaptcha_->setEnabled(true);
    btnReGetCaptcha_->setText(title);
}
