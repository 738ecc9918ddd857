#pragma once

#include <QString>
#include <QWidget>

class QTimer;

// A window-wide busy indicator with an optional label. It blocks touches while shown.
class ProgressHUD final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgressHUD)

public:
    explicit ProgressHUD(QWidget* window);
    ~ProgressHUD() override;

    void setLabelText(const QString& text);
    QString labelText() const { return label_; }

    void showAnimated();
    // Fades out and deletes itself once hidden.
    void hideAnimated();
    bool isHiding() const { return hiding_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString label_;
    QTimer* spin_ = nullptr;
    int phase_ = 0;
    bool hiding_ = false;
};
