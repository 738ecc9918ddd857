#include "account/LoginViewController.h"

#include "platform/ui/NavigationController.h"

LoginViewController::LoginViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("LoginViewController"));
}

LoginViewController::~LoginViewController() = default;

LoginViewController* LoginViewController::presentFrom(ViewController* presenter) {
    auto* login = new LoginViewController();
    presenter->presentModal(new NavigationController(login), true);
    return login;
}
