#pragma once

#include "account/FormViewController.h"

class Button;
class FormTable;
class TextField;

// The e-mail tab of registration: address, password and its confirmation in one form.
class RegByEmailViewController final : public FormViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RegByEmailViewController)

public:
    explicit RegByEmailViewController(QWidget* parent = nullptr);
    ~RegByEmailViewController() override;

    // 1 registers.
    void action(int tag) override;
    bool textFieldShouldReturn(TextField* field);

    TextField* textEmail() const { return textEmail_; }
    TextField* textPassword() const { return textPassword_; }
    TextField* textRepassword() const { return textRepassword_; }
    Button* btnNowReg() const { return btnNowReg_; }
    FormTable* myTableView() const { return myTableView_; }

protected:
    void viewDidLoad() override;

private:
    void reg();

    TextField* textEmail_ = nullptr;
    TextField* textPassword_ = nullptr;
    TextField* textRepassword_ = nullptr;
    Button* btnNowReg_ = nullptr;
    FormTable* myTableView_ = nullptr;
};
