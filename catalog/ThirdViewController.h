#pragma once

#include "platform/ui/ViewController.h"

// The rankings tab.
class ThirdViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ThirdViewController)

public:
    explicit ThirdViewController(QWidget* parent = nullptr);
    ~ThirdViewController() override;

protected:
    void viewDidLoad() override;
};
