#include "account/RegByEmailViewController.h"

#include "account/FormTable.h"
#include "account/TextField.h"
#include "app/tooles.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/Window.h"

RegByEmailViewController::RegByEmailViewController(QWidget* parent) : FormViewController(parent) {
    setObjectName(QStringLiteral("RegByEmailViewController"));
}

RegByEmailViewController::~RegByEmailViewController() = default;

void RegByEmailViewController::viewDidLoad() {
    FormViewController::viewDidLoad();
    const int w = Window::screenBounds().width();

    textEmail_ = makeField(1, L("enterEmail"));
    textEmail_->setObjectName(QStringLiteral("textEmail"));
    textEmail_->setKeyboard(TextField::Keyboard::Email);
    textEmail_->setReturnKey(TextField::ReturnKey::Next);
    textPassword_ = makeField(2, L("Password length in bits 6-16"));
    textPassword_->setObjectName(QStringLiteral("textPassword"));
    textPassword_->setSecure(true);
    textPassword_->setReturnKey(TextField::ReturnKey::Next);
    textRepassword_ = makeField(3, L("Please enter the confirmation password"));
    textRepassword_->setObjectName(QStringLiteral("textRepassword"));
    textRepassword_->setSecure(true);
    textRepassword_->setReturnKey(TextField::ReturnKey::Done);
    for (TextField* field : {textEmail_, textPassword_, textRepassword_})
        field->setOnReturn([this](TextField* f) { textFieldShouldReturn(f); });

    myTableView_ = new FormTable(this, 92);
    myTableView_->addRow(L("email"), textEmail_);
    myTableView_->addRow(L("password2"), textPassword_);
    myTableView_->addRow(L("Confirm Password"), textRepassword_);
    myTableView_->setGeometry(15, 16, w - 30, 3 * FormTable::kRowHeight);

    btnNowReg_ = makeFormButton(L("nowReg"), 1, QRect(15, 168, w - 30, 42));
    btnNowReg_->setObjectName(QStringLiteral("btnNowReg"));
}

bool RegByEmailViewController::textFieldShouldReturn(TextField* field) {
    if (field == textEmail_) {
        textPassword_->becomeFirstResponder();
    } else if (field == textPassword_) {
        textRepassword_->becomeFirstResponder();
    } else {
        resignAll();
    }
    return true;
}

void RegByEmailViewController::action(int tag) {
    if (tag == 1)
        reg();
}

void RegByEmailViewController::reg() {
    // Lengths are counted on the text as typed; nothing is trimmed.
    const QString email = textEmail_->text();
    const QString password = textPassword_->text();
    if (email.isEmpty()) {
        textEmail_->becomeFirstResponder();
        failNotice(L("E-mail can not be empty"));
        return;
    }
    if (!tooles::isValidateEmail(email)) {
        textEmail_->becomeFirstResponder();
        failNotice(L("Mailbox format error"));
        return;
    }
    if (password.isEmpty() || password.size() < 6 || password.size() > 16) {
        textPassword_->becomeFirstResponder();
        failNotice(password.isEmpty() ? L("password cannot be empty")
                                      : L("Password length should be 6-16"));
        return;
    }
    if (password != textRepassword_->text()) {
        textRepassword_->becomeFirstResponder();
        failNotice(L("Confirm Password inconsistent"));
        return;
    }
    sendRegistration(QStringLiteral("email"), email, password);
}
