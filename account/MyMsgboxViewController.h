#pragma once

#include "platform/ui/ViewController.h"

// The signed-in user's message box.
class MyMsgboxViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MyMsgboxViewController)

public:
    explicit MyMsgboxViewController(QWidget* parent = nullptr);
    ~MyMsgboxViewController() override;
};
