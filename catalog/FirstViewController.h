#pragma once

#include "platform/ui/ViewController.h"

// The bookshelf tab: the books kept on the device.
class FirstViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FirstViewController)

public:
    explicit FirstViewController(QWidget* parent = nullptr);
    ~FirstViewController() override;

protected:
    void viewDidLoad() override;
};
