#pragma once

#include "platform/ui/ViewController.h"

// The search tab.
class FifthViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FifthViewController)

public:
    explicit FifthViewController(QWidget* parent = nullptr);
    ~FifthViewController() override;

protected:
    void viewDidLoad() override;
};
