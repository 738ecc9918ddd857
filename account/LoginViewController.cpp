#include "account/LoginViewController.h"

#include "account/FormTable.h"
#include "account/RegisterViewController.h"
#include "account/TextField.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "service/Endpoints.h"

LoginViewController::LoginViewController(QWidget* parent) : FormViewController(parent) {
    setObjectName(QStringLiteral("LoginViewController"));
    setTitle(QStringLiteral("登陆"));
}

LoginViewController::~LoginViewController() = default;

LoginViewController* LoginViewController::presentFrom(ViewController* presenter) {
    auto* login = new LoginViewController();
    presenter->presentModal(new NavigationController(login), true);
    return login;
}

void LoginViewController::viewDidLoad() {
    FormViewController::viewDidLoad();
    const int w = Window::screenBounds().width();

    btnBack_ = makeBarButton(L("back"), 1, true);
    setLeftBarButton(btnBack_);
    setHidesBackButton(true);
    btnReg_ = makeBarButton(L("register"), 2, false);
    setRightBarButton(btnReg_);

    usernameTextfield_ = makeField(0, L("usernameTip"));
    usernameTextfield_->setObjectName(QStringLiteral("usernameTextfield"));
    usernameTextfield_->setKeyboard(TextField::Keyboard::Email);
    usernameTextfield_->setReturnKey(TextField::ReturnKey::Next);
    passwordTextfield_ = makeField(0, L("passwordTip"));
    passwordTextfield_->setObjectName(QStringLiteral("passwordTextfield"));
    passwordTextfield_->setSecure(true);
    passwordTextfield_->setReturnKey(TextField::ReturnKey::Done);
    for (TextField* field : {usernameTextfield_, passwordTextfield_})
        field->setOnReturn([this](TextField* f) { textFieldShouldReturn(f); });

    loginFormTable_ = new FormTable(this);
    loginFormTable_->addRow(L("username"), usernameTextfield_);
    loginFormTable_->addRow(L("password"), passwordTextfield_);
    loginFormTable_->setGeometry(15, 24, w - 30, 2 * FormTable::kRowHeight);
    setTabOrder(usernameTextfield_, passwordTextfield_);

    btnLogin_ = makeFormButton(L("login"), 3, QRect(15, 136, w - 30, 42));
    btnLogin_->setObjectName(QStringLiteral("btnLogin"));
}

void LoginViewController::close() {
    // What was presented is this screen's navigation stack, when it has one.
    NavigationController* nav = navigationController();
    if (nav && nav->presentingViewController())
        nav->dismissModal(true);
    else
        dismissModal(true);
}

bool LoginViewController::textFieldShouldReturn(TextField* field) {
    if (field->returnKey() == TextField::ReturnKey::Next) {
        passwordTextfield_->becomeFirstResponder();
    } else {
        usernameTextfield_->resignFirstResponder();
        passwordTextfield_->resignFirstResponder();
    }
    return true;
}

void LoginViewController::action(int tag) {
    switch (tag) {
    case 1:
        close();
        break;
    case 2:
        if (NavigationController* nav = navigationController())
            nav->pushViewController(new RegisterViewController(), true);
        break;
    case 3:
        login();
        break;
    default:
        break;
    }
}

void LoginViewController::login() {
    const QString username = usernameTextfield_->text();
    const QString password = passwordTextfield_->text();
    // Blanks are an account name like any other: only an empty field is refused.
    if (username.isEmpty()) {
        usernameTextfield_->becomeFirstResponder();
        failNotice(L("username cannot be empty"));
        return;
    }
    if (password.isEmpty()) {
        passwordTextfield_->becomeFirstResponder();
        failNotice(L("password cannot be empty"));
        return;
    }
    usernameTextfield_->resignFirstResponder();
    passwordTextfield_->resignFirstResponder();
    const QVariantMap params{{QStringLiteral("username"), username},
                             {QStringLiteral("password"), password}};
    send(
        Endpoints::login, params, QStringLiteral("正在登录..."),
        [this, username](const Service::Answer& answer) {
            // The account that signed in is the one sent, whatever the field holds by now.
            if (!answer.ok) {
                failNotice(answer.msg);
                return;
            }
            if (!signInWith(answer, username)) {
                // An "ok" without a token signs nobody in; an earlier sign-in stays.
                qWarning("LoginViewController: the sign-in answer carries no token");
                failNotice(QString());
                return;
            }
            close();
        },
        [this] { failNotice(L("The network is not good")); });
}
