#pragma once

#include "platform/ui/ViewController.h"

// The member center: the signed-in user's home.
class MyInfoViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MyInfoViewController)

public:
    explicit MyInfoViewController(QWidget* parent = nullptr);
    ~MyInfoViewController() override;
};
