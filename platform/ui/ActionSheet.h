#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

class ActionSheet;

class ActionSheetDelegate {
public:
    virtual ~ActionSheetDelegate();
    virtual void actionSheetClickedButtonAtIndex(ActionSheet* sheet, int index) = 0;
};

// A modal sheet of buttons rising from the bottom of the phone window. Indexes: the
// destructive button first (when there is one), then the other buttons, then cancel last.
class ActionSheet final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ActionSheet)

public:
    ActionSheet(const QString& title, ActionSheetDelegate* delegate,
                const QString& cancelButtonTitle, const QString& destructiveButtonTitle,
                const QStringList& otherButtonTitles = {});
    ~ActionSheet() override;

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    QString title() const { return title_; }
    int numberOfButtons() const { return int(buttonTitles_.size()); }
    QString buttonTitleAtIndex(int index) const;
    int cancelButtonIndex() const { return cancelIndex_; }
    int destructiveButtonIndex() const { return destructiveIndex_; }

    void setClickHandler(QObject* receiver, std::function<void(ActionSheet*, int)> handler);

    void show();
    void clickButtonAtIndex(int index);
    void dismiss();

    static QList<ActionSheet*> visibleSheets();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void layoutPanel();

    QString title_;
    QStringList buttonTitles_;
    int cancelIndex_ = -1;
    int destructiveIndex_ = -1;
    int tag_ = 0;
    bool closing_ = false;
    ActionSheetDelegate* delegate_ = nullptr;
    QPointer<QObject> delegateGuard_;
    bool delegateIsObject_ = false;
    QPointer<QObject> handlerReceiver_;
    std::function<void(ActionSheet*, int)> handler_;
    QWidget* panel_ = nullptr;
};
