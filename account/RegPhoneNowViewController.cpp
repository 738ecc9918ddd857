#include "account/RegPhoneNowViewController.h"

#include "account/CheckCaptchaViewController.h"
#include "account/FormTable.h"
#include "account/TextField.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "storage/CHKeychain.h"

RegPhoneNowViewController::RegPhoneNowViewController(QWidget* parent) : FormViewController(parent) {
    setObjectName(QStringLiteral("RegPhoneNowViewController"));
    setTitle(L("register"));
}

RegPhoneNowViewController::~RegPhoneNowViewController() = default;

void RegPhoneNowViewController::viewDidLoad() {
    FormViewController::viewDidLoad();
    const int w = Window::screenBounds().width();
    phoneStr_ = CHKeychain::load(QString::fromLatin1(CHKeychain::kSavePhone))
                    .toMap()
                    .value(QString::fromLatin1(CHKeychain::kPhone))
                    .toString();

    btnBack_ = makeBarButton(L("back"), 0, true);
    setLeftBarButton(btnBack_);
    setHidesBackButton(true);

    addPhoneHeader(phoneStr_, &label_phone_reg_, &label_phone_);

    textPassword_ = makeField(1, L("Password length in bits 6-16"));
    textPassword_->setObjectName(QStringLiteral("textPassword"));
    textPassword_->setSecure(true);
    textPassword_->setReturnKey(TextField::ReturnKey::Next);
    textRepassword_ = makeField(2, L("Please enter the confirmation password"));
    textRepassword_->setObjectName(QStringLiteral("textRepassword"));
    textRepassword_->setSecure(true);
    textRepassword_->setReturnKey(TextField::ReturnKey::Done);
    for (TextField* field : {textPassword_, textRepassword_})
        field->setOnReturn([this](TextField* f) { textFieldShouldReturn(f); });

    mytableView_ = new FormTable(this, 92);
    mytableView_->addRow(L("password"), textPassword_);
    mytableView_->addRow(L("Confirm Password"), textRepassword_);
    mytableView_->setGeometry(15, 88, w - 30, 2 * FormTable::kRowHeight);

    btnNowreg_ = makeFormButton(L("nowReg"), 1, QRect(15, 196, w - 30, 42));
    btnNowreg_->setObjectName(QStringLiteral("btnNowreg"));
}

bool RegPhoneNowViewController::textFieldShouldReturn(TextField* field) {
    if (field == textPassword_)
        textRepassword_->becomeFirstResponder();
    else
        resignAll();
    return true;
}

void RegPhoneNowViewController::action(int tag) {
    switch (tag) {
    case 1:
        reg();
        break;
    case 0:
        if (NavigationController* nav = navigationController())
            nav->popToFirstOfClass<CheckCaptchaViewController>(true);
        break;
    default:
        break;
    }
}

void RegPhoneNowViewController::reg() {
    const QString password = textPassword_->text();
    if (password.isEmpty()) {
        textPassword_->becomeFirstResponder();
        failNotice(L("password cannot be empty"));
        return;
    }
    if (password.size() < 6 || password.size() > 16) {
        textPassword_->becomeFirstResponder();
        failNotice(L("Password length should be 6-16"));
        return;
    }
    if (password != textRepassword_->text()) {
        textRepassword_->becomeFirstResponder();
        failNotice(L("Confirm Password inconsistent"));
        return;
    }
    sendRegistration(QStringLiteral("mobile"), phoneStr_, password);
}
