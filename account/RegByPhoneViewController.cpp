#include "account/RegByPhoneViewController.h"

#include "account/FormTable.h"
#include "account/KeyboardDoneButton.h"
#include "account/RegisterViewController.h"
#include "account/TextField.h"
#include "app/tooles.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/Window.h"
#include "service/Endpoints.h"
#include "storage/CHKeychain.h"

RegByPhoneViewController::RegByPhoneViewController(QWidget* parent) : FormViewController(parent) {
    setObjectName(QStringLiteral("RegByPhoneViewController"));
}

RegByPhoneViewController::~RegByPhoneViewController() = default;

void RegByPhoneViewController::viewDidLoad() {
    FormViewController::viewDidLoad();
    const int w = Window::screenBounds().width();

    textPhone_ = makeField(1, L("enterPhoneNo"));
    textPhone_->setObjectName(QStringLiteral("textPhone"));
    textPhone_->setKeyboard(TextField::Keyboard::NumberPad);
    textPhone_->setCharacterLimit(11);
    myTableView_ = new FormTable(this);
    myTableView_->addRow(L("phoneNo"), textPhone_);
    myTableView_->setGeometry(15, 16, w - 30, FormTable::kRowHeight);

    btnGetCode_ = makeFormButton(L("getCode"), 1, QRect(15, 80, w - 30, 42));
    btnGetCode_->setObjectName(QStringLiteral("btnGetCode"));

    doneInKeyboardButton_ = new KeyboardDoneButton(this);
    doneInKeyboardButton_->watch(textPhone_);
}

void RegByPhoneViewController::action(int tag) {
    if (tag == 1)
        getCode();
}

void RegByPhoneViewController::getCode() {
    const QString mobile = textPhone_->text();
    if (mobile.isEmpty()) {
        textPhone_->becomeFirstResponder();
        failNotice(L("The phone number can not be empty"));
        return;
    }
    // Tested as typed: a blank before or after the number makes it wrong.
    if (!tooles::isMobileNumber(mobile)) {
        failNotice(L("Phone number format error"));
        return;
    }
    textPhone_->resignFirstResponder();
    send(
        Endpoints::sendValidateCode, {{QStringLiteral("mobile"), mobile}},
        QStringLiteral("正在获取验证码"),
        [this, mobile](const Service::Answer& answer) {
            if (!answer.ok) {
                failNotice(QStringLiteral("获取验证码失败"));
                return;
            }
            // The code belongs to the number it was sent to, whatever the field holds now.
            CHKeychain::save(QString::fromLatin1(CHKeychain::kSavePhone),
                             QVariantMap{{QString::fromLatin1(CHKeychain::kPhone), mobile},
                                         {QString::fromLatin1(CHKeychain::kValidate), answer.msg}});
            if (delegate)
                delegate->pushToCheckCodeView();
        },
        [this] { failNotice(L("The network is not good")); });
}
