#pragma once

#include "platform/ui/ViewController.h"

// The signed-in user's reading records, page by page.
class ReadRecordViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReadRecordViewController)

public:
    explicit ReadRecordViewController(QWidget* parent = nullptr);
    ~ReadRecordViewController() override;
};
