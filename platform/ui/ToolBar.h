#pragma once

#include <QWidget>

#include "platform/ui/StretchableImage.h"

// The 44-point bar at the bottom of a navigation stack. Screens put their items on it as
// children and place them themselves.
class ToolBar final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolBar)

public:
    explicit ToolBar(QWidget* parent = nullptr);
    ~ToolBar() override;

    void setBackgroundImageNamed(const QString& name);
    QString backgroundImageName() const { return backgroundName_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    StretchableImage background_;
    QString backgroundName_;
};
