#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class Button;
class TextField;
class QWidget;

// The 完成 key of the number pads. A number pad has no return key, so while one of the watched
// fields is being edited and its screen is visible, a 106 x 53 point key sits at the
// bottom-left corner of the window; tapping it ends editing in that window. The key is made on
// first use, belongs to the window while shown, and goes away with its owner.
class KeyboardDoneButton final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyboardDoneButton)

public:
    static constexpr int kWidth = 106;
    static constexpr int kHeight = 53;

    explicit KeyboardDoneButton(QWidget* screen);
    ~KeyboardDoneButton() override;

    // Fields whose editing brings the key up.
    void watch(TextField* field);

    // The screen tells when it is shown (will appear) and when it leaves (will disappear).
    void setScreenVisible(bool visible);
    // The container's switch: the key may show on this form's tab only.
    void setAllowed(bool allowed);
    bool isAllowed() const { return allowed_; }

    // The key while it is on the window and visible.
    bool isShowing() const;
    Button* button() const;

    // What a tap on the key does.
    void tap();

private:
    void update();

    QPointer<QWidget> screen_;
    QList<QPointer<TextField>> fields_;
    QPointer<Button> button_;
    bool visible_ = false;
    bool allowed_ = true;
};
