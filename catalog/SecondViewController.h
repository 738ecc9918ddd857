#pragma once

#include "platform/ui/ViewController.h"

// The recommendations tab.
class SecondViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SecondViewController)

public:
    explicit SecondViewController(QWidget* parent = nullptr);
    ~SecondViewController() override;

protected:
    void viewDidLoad() override;
};
