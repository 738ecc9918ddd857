#include "account/KeyboardDoneButton.h"

#include "account/TextField.h"
#include "platform/ui/Button.h"

KeyboardDoneButton::KeyboardDoneButton(QWidget* screen) : QObject(screen), screen_(screen) {}

KeyboardDoneButton::~KeyboardDoneButton() {
    // The key lives on the window, not on the screen.
    delete button_.data();
}

void KeyboardDoneButton::watch(TextField* field) {
    fields_.append(field);
    connect(field, &TextField::editingBegan, this, &KeyboardDoneButton::update);
    connect(field, &TextField::editingEnded, this, &KeyboardDoneButton::update);
}

void KeyboardDoneButton::setScreenVisible(bool visible) {
    visible_ = visible;
    update();
}

void KeyboardDoneButton::setAllowed(bool allowed) {
    allowed_ = allowed;
    update();
}

Button* KeyboardDoneButton::button() const {
    return button_;
}

bool KeyboardDoneButton::isShowing() const {
    return button_ && button_->isVisible();
}

void KeyboardDoneButton::tap() {
    QWidget* window = screen_ ? screen_->window() : nullptr;
    if (QWidget* focused = window ? window->focusWidget() : nullptr)
        focused->clearFocus();
    update();
}

void KeyboardDoneButton::update() {
    bool editing = false;
    for (const QPointer<TextField>& field : std::as_const(fields_)) {
        if (field && field->hasFocus())
            editing = true;
    }
    QWidget* window = screen_ ? screen_->window() : nullptr;
    const bool show = editing && visible_ && allowed_ && window && window != screen_;
    if (!show) {
        if (button_)
            button_->hide();
        return;
    }
    if (!button_) {
        button_ = new Button(window);
        button_->setObjectName(QStringLiteral("doneInKeyboardButton"));
        button_->setBackgroundImageNamed(QStringLiteral("btn_done_up"),
                                         QStringLiteral("btn_done_down"));
        // Taking the focus would end the editing before the tap arrives.
        button_->setFocusPolicy(Qt::NoFocus);
        button_->setAction(this, [this](int) { tap(); });
    } else if (button_->parentWidget() != window) {
        button_->setParent(window);
    }
    button_->setGeometry(0, window->height() - kHeight, kWidth, kHeight);
    button_->raise();
    button_->show();
}
