#include "account/TextField.h"

#include <QFocusEvent>
#include <QRegularExpressionValidator>

TextField::TextField(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setInputMethodHints(Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase);
    QFont f = font();
    f.setPixelSize(15);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::transparent);
    p.setColor(QPalette::Text, QColor(0x2e, 0x2a, 0x26));
    p.setColor(QPalette::PlaceholderText, QColor(0xa8, 0xa0, 0x96));
    setPalette(p);
    connect(this, &QLineEdit::returnPressed, this, [this] {
        if (onReturn_)
            onReturn_(this);
    });
}

TextField::~TextField() = default;

void TextField::setKeyboard(Keyboard keyboard) {
    keyboard_ = keyboard;
    Qt::InputMethodHints hints = Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase;
    switch (keyboard) {
    case Keyboard::Email:
        hints |= Qt::ImhEmailCharactersOnly;
        setValidator(nullptr);
        break;
    case Keyboard::NumberPad: {
        // A number pad has the ten digits and nothing else.
        hints |= Qt::ImhDigitsOnly;
        static const QRegularExpression digits(QStringLiteral("[0-9]*"));
        setValidator(new QRegularExpressionValidator(digits, this));
        break;
    }
    case Keyboard::Default:
        setValidator(nullptr);
        break;
    }
    if (isSecure())
        hints |= Qt::ImhHiddenText | Qt::ImhSensitiveData;
    setInputMethodHints(hints);
}

void TextField::setSecure(bool secure) {
    setEchoMode(secure ? QLineEdit::Password : QLineEdit::Normal);
    // A small bullet per character; the style's default disc is as wide as a letter.
    setStyleSheet(secure ? QStringLiteral("QLineEdit { lineedit-password-character: 8226; "
                                          "background: transparent; border: none; }")
                         : QString());
    setKeyboard(keyboard_);
}

void TextField::setCharacterLimit(int characters) {
    setMaxLength(characters > 0 ? characters : 32767);
}

void TextField::becomeFirstResponder() {
    setFocus(Qt::OtherFocusReason);
}

void TextField::resignFirstResponder() {
    if (hasFocus())
        clearFocus();
}

bool TextField::isFirstResponder() const {
    return hasFocus();
}

void TextField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // The clear button shows while editing only, as on the phone.
    setClearButtonEnabled(true);
    Q_EMIT editingBegan();
}

void TextField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    setClearButtonEnabled(false);
    Q_EMIT editingEnded();
}
