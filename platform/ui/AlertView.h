#pragma once

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class AlertView;

// Told which button of an alert was clicked. A delegate that is also a QObject is forgotten
// when it is destroyed, so a closed screen is never called.
class AlertViewDelegate {
public:
    virtual ~AlertViewDelegate();
    virtual void alertViewClickedButtonAtIndex(AlertView* alert, int index) = 0;
};

// A modal alert drawn inside the phone window: a title, a message and buttons. The cancel
// button, when there is one, has index 0 and the other buttons follow in order. Clicking a
// button tells the delegate the index, then the alert closes and is destroyed.
class AlertView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertView)

public:
    AlertView(const QString& title, const QString& message, AlertViewDelegate* delegate,
              const QString& cancelButtonTitle, const QStringList& otherButtonTitles = {});
    ~AlertView() override;

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    QString title() const { return title_; }
    QString message() const { return message_; }
    int numberOfButtons() const { return int(buttonTitles_.size()); }
    QString buttonTitleAtIndex(int index) const;
    int cancelButtonIndex() const { return cancelIndex_; }

    // A handler told the clicked index as well (in addition to the delegate).
    void setClickHandler(QObject* receiver, std::function<void(AlertView*, int)> handler);
    // Moves the panel from the centre of the window, e.g. {0, -20} is 20 points up.
    void setOffset(const QPoint& offset);
    QPoint offset() const { return offset_; }

    // Shows the alert in the key window, above everything else.
    void show();
    bool isVisibleAlert() const { return shown_; }
    // What a tap on the button does: tells the delegate and the handler, then closes.
    void clickButtonAtIndex(int index);
    // Closes without telling anybody.
    void dismiss();

    // The alerts now showing in the key window, oldest first (for tests and the walk).
    static QList<AlertView*> visibleAlerts();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void layoutPanel();

    QString title_;
    QString message_;
    QStringList buttonTitles_;
    int cancelIndex_ = -1;
    int tag_ = 0;
    QPoint offset_;
    bool shown_ = false;
    bool closing_ = false;
    AlertViewDelegate* delegate_ = nullptr;
    QPointer<QObject> delegateGuard_;
    bool delegateIsObject_ = false;
    QPointer<QObject> handlerReceiver_;
    std::function<void(AlertView*, int)> handler_;
    QWidget* panel_ = nullptr;
};
