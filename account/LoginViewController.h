#pragma once

#include "account/FormViewController.h"

class Button;
class FormTable;
class TextField;

// The sign-in screen: account name and password sent to the service; on success the signed-in
// user is stored and the screen closes. It is presented modally in a navigation stack of its
// own, onto which registration is pushed.
class LoginViewController final : public FormViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoginViewController)

public:
    explicit LoginViewController(QWidget* parent = nullptr);
    ~LoginViewController() override;

    // The one way a screen asks for a sign-in: a new login screen as the root of a navigation
    // controller of its own, presented modally over presenter.
    static LoginViewController* presentFrom(ViewController* presenter);

    // 1 back (closes the screen), 2 registration, 3 login.
    void action(int tag) override;
    // The return key: Next moves to the password, Done closes the keyboard. Always true.
    bool textFieldShouldReturn(TextField* field);

    TextField* usernameTextfield() const { return usernameTextfield_; }
    TextField* passwordTextfield() const { return passwordTextfield_; }
    FormTable* loginFormTable() const { return loginFormTable_; }
    Button* btnBack() const { return btnBack_; }
    Button* btnReg() const { return btnReg_; }
    Button* btnLogin() const { return btnLogin_; }

protected:
    void viewDidLoad() override;

private:
    void login();
    // Ends the modal presentation; the screen goes with it.
    void close();

    TextField* usernameTextfield_ = nullptr;
    TextField* passwordTextfield_ = nullptr;
    FormTable* loginFormTable_ = nullptr;
    Button* btnBack_ = nullptr;
    Button* btnReg_ = nullptr;
    Button* btnLogin_ = nullptr;
};
