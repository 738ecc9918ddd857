#pragma once

#include <QDateTime>

#include "account/FormViewController.h"

class Button;
class FormTable;
class KeyboardDoneButton;
class QLabel;
class QTimer;

// The code screen of the phone registration: the number the code went to, the entry of the
// code (checked on the device against the one the service sent), and a repeated request with a
// 60-second countdown on its button.
class CheckCaptchaViewController final : public FormViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckCaptchaViewController)

public:
    explicit CheckCaptchaViewController(QWidget* parent = nullptr);
    ~CheckCaptchaViewController() override;

    // 1 checks the code, 2 asks for a new one, 0 back to registration.
    void action(int tag) override;
    // The countdown's tick, once a second while it runs (on the application's clock).
    void calcuRemainTime();

    QString keyChainMobile() const { return keyChainMobile_; }
    QString keyChainCode() const { return keyChainCode_; }
    TextField* textCaptcha() const { return textCaptcha_; }
    Button* btnSubmitCaptcha() const { return btnSubmitCaptcha_; }
    Button* btnReGetCaptcha() const { return btnReGetCaptcha_; }
    Button* btnBack() const { return btnBack_; }
    QLabel* label_phone() const { return label_phone_; }
    QTimer* m_pTimer() const { return m_pTimer_; }
    KeyboardDoneButton* doneInKeyboardButton() const { return doneInKeyboardButton_; }

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    void checkCode();
    void reGetCode();

    QString keyChainMobile_;
    QString keyChainCode_;
    QLabel* label_phone_reg_ = nullptr;
    QLabel* label_phone_ = nullptr;
    FormTable* codeTable_ = nullptr;
    TextField* textCaptcha_ = nullptr;
    Button* btnSubmitCaptcha_ = nullptr;
    Button* btnReGetCaptcha_ = nullptr;
    Button* btnBack_ = nullptr;
    QTimer* m_pTimer_ = nullptr;
    QDateTime m_pStartDate_;
    double m_fGameTime_ = 60.0;
    KeyboardDoneButton* doneInKeyboardButton_ = nullptr;
};
