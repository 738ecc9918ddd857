#pragma once

#include "platform/ui/ViewController.h"

// The signed-in user's favorite books, page by page.
class MyFavoriteViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MyFavoriteViewController)

public:
    explicit MyFavoriteViewController(QWidget* parent = nullptr);
    ~MyFavoriteViewController() override;
};
