#pragma once

#include "platform/ui/ViewController.h"

// The sign-in screen.
class LoginViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoginViewController)

public:
    explicit LoginViewController(QWidget* parent = nullptr);
    ~LoginViewController() override;

    // The one way a screen asks for a sign-in: a new login screen as the root of a navigation
    // controller of its own, presented modally over presenter.
    static LoginViewController* presentFrom(ViewController* presenter);
};
