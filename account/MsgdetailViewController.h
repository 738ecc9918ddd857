#pragma once

#include <QString>

#include "platform/ui/ViewController.h"

class Button;
class ImageView;
class QLabel;
class QScrollArea;

// One message of the message box, whole: its title, its sending time, a divider and the
// content, scrolling when the content is long.
class MsgdetailViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MsgdetailViewController)

public:
    static constexpr int kContentWidth = 300;

    explicit MsgdetailViewController(QWidget* parent = nullptr);
    ~MsgdetailViewController() override;

    // Given by the message box before the screen is pushed.
    QString data_title;
    QString data_time;
    QString data_content;

    // The height of the content laid out 300 points wide (set when the view loads).
    int contentHeight() const { return contentHeight_; }
    // The height the content needs at 300 points in 16-point Arial, wrapped at words.
    static int measureContentHeight(const QString& content);

    QLabel* labelTitle() const { return labelTitle_; }
    QLabel* labelTime() const { return labelTime_; }
    QLabel* labelContent() const { return labelContent_; }
    ImageView* imgLine() const { return imgLine_; }
    QScrollArea* scrollView() const { return myScrollView_; }
    // The size of the scrolled content.
    QSize scrollContentSize() const;

    void action(int tag);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int contentHeight_ = 0;
    QWidget* background_ = nullptr;
    QScrollArea* myScrollView_ = nullptr;
    QWidget* page_ = nullptr;
    QLabel* labelTitle_ = nullptr;
    QLabel* labelTime_ = nullptr;
    QLabel* labelContent_ = nullptr;
    ImageView* imgLine_ = nullptr;
    Button* btnBack_ = nullptr;
};
