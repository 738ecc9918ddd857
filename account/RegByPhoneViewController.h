#pragma once

#include <QPointer>

#include "account/FormViewController.h"

class Button;
class FormTable;
class KeyboardDoneButton;
class RegisterViewController;
class TextField;

// The phone tab of registration: the mobile number and the button that has the service text a
// verification code to it. The number and the code go on in the saved-phone keychain item.
class RegByPhoneViewController final : public FormViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RegByPhoneViewController)

public:
    explicit RegByPhoneViewController(QWidget* parent = nullptr);
    ~RegByPhoneViewController() override;

    // 1 asks for a code.
    void action(int tag) override;

    TextField* textPhone() const { return textPhone_; }
    Button* btnGetCode() const { return btnGetCode_; }
    FormTable* myTableView() const { return myTableView_; }
    KeyboardDoneButton* doneInKeyboardButton() const { return doneInKeyboardButton_; }

    // Told to push the code screen after a code was sent.
    QPointer<RegisterViewController> delegate;

protected:
    void viewDidLoad() override;

private:
    void getCode();

    TextField* textPhone_ = nullptr;
    Button* btnGetCode_ = nullptr;
    FormTable* myTableView_ = nullptr;
    KeyboardDoneButton* doneInKeyboardButton_ = nullptr;
};
