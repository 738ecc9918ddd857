#pragma once

#include <QPointer>
#include <QVariantMap>

#include "platform/ui/ViewController.h"

class Button;
#include "engines/HttpRequest.h"
class NoticeView;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollArea;

// The feedback form: a suggestion or a request for a book the service lacks, with an optional
// e-mail address and QQ number for the answer, sent as one /feedback/form request.
class FeedbackViewController final : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FeedbackViewController)

public:
    static constexpr int kQQMaxLength = 11;
    static constexpr int kMoveMs = 300;

    explicit FeedbackViewController(QWidget* parent = nullptr);
    ~FeedbackViewController() override;

    // Buttons by tag: 0 back to the member center, 1 submit, 2 type 1, 3 type 2.
    void action(int tag);
    void change1();
    void change2();
    // Closes the keyboard and puts the form back in its place.
    void restoreView();
    // How far the form moves up while an input is edited (tag 1 e-mail, tag 2 QQ, 0 the text),
    // on this screen size.
    static int raiseFor(int inputTag);
    // How far the form is moved up now.
    int raisedBy() const;

    // "1" or "2", empty when neither type is selected.
    QString selectedType() const;

    // Views, for the walk and tests (valid once the view is loaded).
    Button* btnRadio1() const { return btnRadio1_; }
    Button* btnRadio2() const { return btnRadio2_; }
    QLabel* labelForRadio1() const { return labelForRadio1_; }
    QLabel* labelForRadio2() const { return labelForRadio2_; }
    QLabel* labelForDescTip() const { return labelForDescTip_; }
    QPlainTextEdit* textFeedback() const { return textFeedback_; }
    QLineEdit* textEmail() const { return textEmail_; }
    QLineEdit* textQQ() const { return textQQ_; }
    Button* btnSubmit() const { return btnSubmit_; }
    Button* btnSubmit2() const { return btnSubmit2_; }
    Button* btnBack() const { return btnBack_; }
    QScrollArea* scrollView() const { return scrollView_; }
    NoticeView* notify() const { return notify_; }
    HttpRequest* asiHttpRequest() const { return asiHttpRequest_; }

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void submit();
    void selectType(int type);
    void moveForm(int up, const char* animation);
    void showNotice(const QString& text, const QString& imageName);
    void answered(HttpRequest* request);

    QWidget* background_ = nullptr;
    QScrollArea* scrollView_ = nullptr;
    QWidget* form_ = nullptr;
    Button* btnRadio1_ = nullptr;
    Button* btnRadio2_ = nullptr;
    QLabel* labelQuestionType_ = nullptr;
    QLabel* labelForRadio1_ = nullptr;
    QLabel* labelForRadio2_ = nullptr;
    QLabel* labelForDescTip_ = nullptr;
    QPlainTextEdit* textFeedback_ = nullptr;
    QLabel* labelForEmail_ = nullptr;
    QLineEdit* textEmail_ = nullptr;
    QLabel* labelForQQ_ = nullptr;
    QLineEdit* textQQ_ = nullptr;
    Button* btnSubmit_ = nullptr;
    Button* btnSubmit2_ = nullptr;
    Button* btnBack_ = nullptr;
    NoticeView* notify_ = nullptr;
    QPointer<HttpRequest> asiHttpRequest_;
    int raised_ = 0;
    bool submitting_ = false;
};
