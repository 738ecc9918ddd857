#pragma once

#include <QLineEdit>
#include <functional>

// A one-line text field of the sign-in forms. It keeps the phone keyboard's settings as
// desktop equivalents: an e-mail or number-pad keyboard (a number pad types digits only),
// masked entry, no correction or capitalisation, a clear button while editing, and a return
// key that is either Next or Done. Pressing return never submits a form: it only calls the
// screen's textFieldShouldReturn handler.
class TextField final : public QLineEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TextField)

public:
    enum class Keyboard { Default, Email, NumberPad };
    enum class ReturnKey { Default, Next, Done };

    explicit TextField(QWidget* parent = nullptr);
    ~TextField() override;

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    void setKeyboard(Keyboard keyboard);
    Keyboard keyboard() const { return keyboard_; }
    void setReturnKey(ReturnKey key) { returnKey_ = key; }
    ReturnKey returnKey() const { return returnKey_; }
    void setSecure(bool secure);
    bool isSecure() const { return echoMode() == QLineEdit::Password; }

    // Typing stops at this many characters (0: no limit).
    void setCharacterLimit(int characters);

    // Called with the field when return is pressed.
    void setOnReturn(std::function<void(TextField*)> handler) { onReturn_ = std::move(handler); }

    // First-responder vocabulary of the screens.
    void becomeFirstResponder();
    void resignFirstResponder();
    bool isFirstResponder() const;

Q_SIGNALS:
    void editingBegan();
    void editingEnded();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int tag_ = 0;
    Keyboard keyboard_ = Keyboard::Default;
    ReturnKey returnKey_ = ReturnKey::Default;
    std::function<void(TextField*)> onReturn_;
};
