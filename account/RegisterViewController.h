#pragma once

#include "account/FormViewController.h"

class Button;
class RegByEmailViewController;
class RegByPhoneViewController;

// Registration: two tabs over the phone form and the e-mail form, both made when the screen
// loads. The phone form asks it to push the code screen once a code was sent.
class RegisterViewController final : public FormViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RegisterViewController)

public:
    explicit RegisterViewController(QWidget* parent = nullptr);
    ~RegisterViewController() override;

    // 1 phone tab, 2 e-mail tab, 0 back to the login screen.
    void action(int tag) override;
    void pushToCheckCodeView();

    Button* btnRegByPhone() const { return btnRegByPhone_; }
    Button* btnRegByEmail() const { return btnRegByEmail_; }
    Button* btnBack() const { return btnBack_; }
    RegByPhoneViewController* PhoneView() const { return PhoneView_; }
    RegByEmailViewController* EmailView() const { return EmailView_; }

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    Button* btnRegByPhone_ = nullptr;
    Button* btnRegByEmail_ = nullptr;
    Button* btnBack_ = nullptr;
    RegByPhoneViewController* PhoneView_ = nullptr;
    RegByEmailViewController* EmailView_ = nullptr;
};
