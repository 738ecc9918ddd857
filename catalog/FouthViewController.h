#pragma once

#include "platform/ui/ViewController.h"

// The categories tab.
class FouthViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FouthViewController)

public:
    explicit FouthViewController(QWidget* parent = nullptr);
    ~FouthViewController() override;

protected:
    void viewDidLoad() override;
};
