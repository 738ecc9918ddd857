#pragma once

#include <QPointer>
#include <QVariantMap>
#include <functional>

#include "platform/ui/ViewController.h"
#include "service/Service.h"

class Button;
class HttpRequest;
class QLabel;
class NoticeView;
class TextField;

// What the sign-in and registration screens share: the paper background, the notice shown
// 100 points above the centre, the bar and form buttons, a background tap that closes the
// keyboard, and one service request at a time.
class FormViewController : public ViewController {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormViewController)

public:
    explicit FormViewController(QWidget* parent = nullptr);
    ~FormViewController() override;

    // The notice: text and image, then shown (nothing while the previous one still animates).
    void showBDK(const QString& text, const QString& imageName);
    void displayNotification();
    NoticeView* notify() const;
    QString HUDnotificationText() const { return HUDnotificationText_; }
    QString imageName() const { return imageName_; }

    // The request in flight, if any.
    HttpRequest* asiHttpRequest() const;

    // A form inside a container leaves the background to the container. Before loading.
    void setDrawsBackground(bool draws) { drawsBackground_ = draws; }

    // Makes every text field of the screen resign (the background tap).
    virtual void resignAll();
    // Receives every button of the screen; the tag tells them apart.
    virtual void action(int tag) = 0;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // A failure notice (read_refresh_no) shown at once.
    void failNotice(const QString& text);

    Button* makeBarButton(const QString& title, int tag, bool back);
    // The wide amber button of a form.
    Button* makeFormButton(const QString& title, int tag, const QRect& frame);
    TextField* makeField(int tag, const QString& placeholder);

    // Sends a signed GET of path with params, replacing any request of this screen. Exactly one
    // of the handlers runs, and only for the request last sent; when the progress label is
    // given, the progress overlay covers the window until the answer.
    void send(const char* path, const QVariantMap& params, const QString& progress,
              std::function<void(const Service::Answer&)> answered, std::function<void()> failed);

    // The sign-in that an "ok" answer of the login or the registration carries: token, profile
    // and account written together. An answer without a token changes nothing and is false.
    static bool signInWith(const Service::Answer& answer, const QString& account);

    // The registration answer: signed in and the success notice, or the service's msg.
    void registrationAnswered(const Service::Answer& answer, const QString& account);
    // "手机注册" over its tab image and "手机号：<number>" below, from the top of the screen.
    void addPhoneHeader(const QString& phone, QLabel** regLabel, QLabel** phoneLabel);
    // Sends the registration with the given account parameter (mobile or email).
    void sendRegistration(const QString& accountKey, const QString& account,
                          const QString& password);

private:
    QPointer<NoticeView> notify_;
    QString HUDnotificationText_;
    QString imageName_;
    QPointer<HttpRequest> asiHttpRequest_;
    bool hudShown_ = false;
    bool drawsBackground_ = true;
};
