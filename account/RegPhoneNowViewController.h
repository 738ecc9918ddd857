#pragma once

#include "account/FormViewController.h"

class Button;
class FormTable;
class QLabel;

// The last step of the phone registration: the password and its confirmation for the number
// of the saved-phone item.
class RegPhoneNowViewController final : public FormViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RegPhoneNowViewController)

public:
    explicit RegPhoneNowViewController(QWidget* parent = nullptr);
    ~RegPhoneNowViewController() override;

    // 1 registers, 0 back to the code screen.
    void action(int tag) override;
    bool textFieldShouldReturn(TextField* field);

    QString phoneStr() const { return phoneStr_; }
    TextField* textPassword() const { return textPassword_; }
    TextField* textRepassword() const { return textRepassword_; }
    Button* btnNowreg() const { return btnNowreg_; }
    Button* btnBack() const { return btnBack_; }
    FormTable* mytableView() const { return mytableView_; }

protected:
    void viewDidLoad() override;

private:
    void reg();

    QString phoneStr_;
    QLabel* label_phone_reg_ = nullptr;
    QLabel* label_phone_ = nullptr;
    TextField* textPassword_ = nullptr;
    TextField* textRepassword_ = nullptr;
    FormTable* mytableView_ = nullptr;
    Button* btnNowreg_ = nullptr;
    Button* btnBack_ = nullptr;
};
