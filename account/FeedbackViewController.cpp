#include "account/FeedbackViewController.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScroller>

#include "account/MyInfoViewController.h"
#include "app/tooles.h"
#include "engines/HttpRequest.h"
#include "platform/Localizable.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/Window.h"
#include "service/Endpoints.h"
#include "service/Service.h"

namespace {

const QColor kChosen(236, 122, 0);
const QColor kOther(128, 128, 128);
constexpr int kFormHeight = 440;

QLabel* formLabel(const QString& text, int pixels, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("color: rgb(74,54,38); background: transparent;"));
    return label;
}

void paintLabel(QLabel* label, const QColor& color) {
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(color.name()));
}

const QString kFieldStyle =
    QStringLiteral("background: white; color: rgb(50,40,30); border: 1px solid rgb(170,170,170);"
                   " border-radius: 5px; padding: 2px 6px;");

} // namespace

FeedbackViewController::FeedbackViewController(QWidget* parent) : ViewController(parent) {
    setObjectName(QStringLiteral("FeedbackViewController"));
}

FeedbackViewController::~FeedbackViewController() {
    if (asiHttpRequest_)
        asiHttpRequest_->clearDelegatesAndCancel();
    // The overlay belongs to the submission that is going away with this screen.
    if (submitting_)
        tooles::removeHUD();
}

int FeedbackViewController::raiseFor(int inputTag) {
    const bool tall = Window::screenModeSize() == QSize(640, 1136);
    switch (inputTag) {
    case 1:
        return tall ? 65 : 155;
    case 2:
        return tall ? 115 : 205;
    default:
        return tall ? 10 : 100;
    }
}

void FeedbackViewController::viewDidLoad() {
    setTitle(L("feedback"));
    setHidesBackButton(true);

    background_ = tooles::bgView(true, false, this);
    background_->setGeometry(rect());
    background_->lower();

    btnBack_ = tooles::barButton(
        this, QStringLiteral("btnBack"), QStringLiteral("public_toolBg_Button_back"), L("back"), 0,
        [this](int tag) { action(tag); }, QSize(55, 32), QMargins(14, 0, 6, 0));
    setLeftBarButton(btnBack_);

    btnSubmit_ = tooles::barButton(
        this, QStringLiteral("btnSubmit"), QStringLiteral("center_feedback_button_submit"),
        L("submit"), 1, [this](int tag) { action(tag); }, QSize(50, 32), QMargins(6, 0, 6, 0));
    setRightBarButton(btnSubmit_);

    scrollView_ = tooles::fingerScrollArea(this, QStringLiteral("scrollView"), true);

    form_ = new QWidget();
    form_->setObjectName(QStringLiteral("feedbackForm"));
    form_->setAttribute(Qt::WA_TranslucentBackground);
    form_->resize(Window::screenBounds().width(), kFormHeight);
    form_->installEventFilter(this);

    labelQuestionType_ = formLabel(L("question type:"), 16, form_);
    labelQuestionType_->setGeometry(20, 18, 280, 22);

    auto radio = [this](int tag, const QString& name, int x) {
        auto* b = new Button(form_);
        b->setObjectName(name);
        b->setTag(tag);
        b->setImageNamed(QStringLiteral("public_Select_no"), QStringLiteral("public_Select_yes"));
        // A clear face for both states: the selected image alone shows the choice, unshaded.
        QPixmap clear(1, 1);
        clear.fill(Qt::transparent);
        b->setBackgroundImage(StretchableImage(clear, QMargins()),
                              StretchableImage(clear, QMargins()));
        b->setGeometry(x, 48, 24, 24);
        b->setAction(this, [this](int t) { action(t); });
        return b;
    };
    btnRadio1_ = radio(2, QStringLiteral("btnRadio1"), 20);
    labelForRadio1_ = formLabel(L("feedback and suggest"), 16, form_);
    labelForRadio1_->setObjectName(QStringLiteral("labelForRadio1"));
    labelForRadio1_->setGeometry(48, 46, 110, 28);
    btnRadio2_ = radio(3, QStringLiteral("btnRadio2"), 165);
    labelForRadio2_ = formLabel(L("Users seeking books"), 16, form_);
    labelForRadio2_->setObjectName(QStringLiteral("labelForRadio2"));
    labelForRadio2_->setGeometry(193, 46, 110, 28);
    GestureRecognizer::add(labelForRadio1_, GestureRecognizer::Kind::Tap, this,
                           [this](QPoint) { change1(); });
    GestureRecognizer::add(labelForRadio2_, GestureRecognizer::Kind::Tap, this,
                           [this](QPoint) { change2(); });

    labelForDescTip_ = formLabel(QString(), 14, form_);
    labelForDescTip_->setObjectName(QStringLiteral("labelForDescTip"));
    labelForDescTip_->setWordWrap(true);
    labelForDescTip_->setGeometry(20, 84, 280, 36);

    textFeedback_ = new QPlainTextEdit(form_);
    textFeedback_->setObjectName(QStringLiteral("textFeedback"));
    QFont arial16(QStringLiteral("Arial"));
    arial16.setPixelSize(16);
    textFeedback_->setFont(arial16);
    textFeedback_->setStyleSheet(
        QStringLiteral("QPlainTextEdit { background: white; color: rgb(50,40,30);"
                       " border: 1px solid rgb(170,170,170); border-radius: 5px; }"));
    textFeedback_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textFeedback_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textFeedback_->setInputMethodHints(Qt::ImhNoPredictiveText);
    textFeedback_->setTabChangesFocus(true);
    textFeedback_->setGeometry(20, 122, 280, 110);
    textFeedback_->installEventFilter(this);

    labelForEmail_ = formLabel(L("Your email (recommended only):"), 14, form_);
    labelForEmail_->setGeometry(20, 242, 280, 22);
    textEmail_ = new QLineEdit(form_);
    textEmail_->setObjectName(QStringLiteral("textEmail"));
    textEmail_->setStyleSheet(kFieldStyle);
    textEmail_->setFont(arial16);
    textEmail_->setInputMethodHints(Qt::ImhEmailCharactersOnly | Qt::ImhNoPredictiveText |
                                    Qt::ImhNoAutoUppercase);
    textEmail_->setClearButtonEnabled(true);
    textEmail_->setGeometry(20, 266, 280, 32);
    textEmail_->installEventFilter(this);
    // Next moves on to the QQ number.
    connect(textEmail_, &QLineEdit::returnPressed, this, [this] { textQQ_->setFocus(); });

    labelForQQ_ = formLabel(L("Your qq number (optional):"), 14, form_);
    labelForQQ_->setGeometry(20, 308, 280, 22);
    textQQ_ = new QLineEdit(form_);
    textQQ_->setObjectName(QStringLiteral("textQQ"));
    textQQ_->setStyleSheet(kFieldStyle);
    textQQ_->setFont(arial16);
    textQQ_->setInputMethodHints(Qt::ImhDigitsOnly);
    // The number pad types digits only, and typing stops at eleven of them (a paste too).
    textQQ_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), textQQ_));
    textQQ_->setMaxLength(kQQMaxLength);
    textQQ_->setGeometry(20, 332, 280, 32);
    textQQ_->installEventFilter(this);
    connect(textQQ_, &QLineEdit::returnPressed, this, [this] { restoreView(); });

    btnSubmit2_ = tooles::createButtonWithTitle(
        L("submit"), Qt::white, 18, this, [this](int tag) { action(tag); }, QRect(20, 382, 280, 42),
        QStringLiteral("center_feedback_button_submit"), QString(), 1, form_);
    btnSubmit2_->setObjectName(QStringLiteral("btnSubmit2"));

    scrollView_->setWidget(form_);
    scrollView_->setGeometry(rect());

    notify_ = new NoticeView(this, 20);
    notify_->setObjectName(QStringLiteral("notify"));

    change1();
}

void FeedbackViewController::resizeEvent(QResizeEvent* event) {
    ViewController::resizeEvent(event);
    if (background_)
        background_->setGeometry(rect());
    if (scrollView_)
        scrollView_->setGeometry(0, -raised_, width(), height());
    if (form_)
        form_->resize(width(), qMax(kFormHeight, height()));
}

void FeedbackViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    if (notify_)
        notify_->hideNotice();
}

bool FeedbackViewController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == textEmail_)
            moveForm(raiseFor(1), "ResizeForKeyBoard");
        else if (watched == textQQ_)
            moveForm(raiseFor(2), "ResizeForKeyBoard");
        else if (watched == textFeedback_)
            moveForm(raiseFor(0), "move");
    } else if (event->type() == QEvent::MouseButtonPress && watched == form_) {
        // A tap on the form's background closes the keyboard (buttons keep their touches).
        restoreView();
    }
    return ViewController::eventFilter(watched, event);
}

void FeedbackViewController::moveForm(int up, const char* animation) {
    Q_UNUSED(animation);
    raised_ = up;
    if (scrollView_)
        Animation::animate(scrollView_, "pos", QPoint(0, -up), kMoveMs);
}

int FeedbackViewController::raisedBy() const {
    return scrollView_ ? -scrollView_->y() : 0;
}

void FeedbackViewController::restoreView() {
    for (QWidget* input : {static_cast<QWidget*>(textFeedback_), static_cast<QWidget*>(textEmail_),
                           static_cast<QWidget*>(textQQ_)}) {
        if (input && input->hasFocus())
            input->clearFocus();
    }
    moveForm(0, "move");
}

void FeedbackViewController::action(int tag) {
    switch (tag) {
    case 0:
        if (NavigationController* nav = navigationController()) {
            if (!nav->popToFirstOfClass<MyInfoViewController>(true))
                nav->popViewController(true);
        }
        break;
    case 1:
        submit();
        break;
    case 2:
        change1();
        break;
    case 3:
        change2();
        break;
    default:
        break;
    }
}

void FeedbackViewController::change1() {
    selectType(1);
}

void FeedbackViewController::change2() {
    selectType(2);
}

void FeedbackViewController::selectType(int type) {
    if (!btnRadio1_)
        return;
    btnRadio1_->setSelected(type == 1);
    btnRadio2_->setSelected(type == 2);
    paintLabel(labelForRadio1_, type == 1 ? kChosen : kOther);
    paintLabel(labelForRadio2_, type == 2 ? kChosen : kOther);
    labelForDescTip_->setText(
        type == 1 ? L("Please describe your suggestions, comments, questions, such as:")
                  : L("Please describe your request books:"));
}

QString FeedbackViewController::selectedType() const {
    if (btnRadio1_ && btnRadio1_->isSelected())
        return QStringLiteral("1");
    if (btnRadio2_ && btnRadio2_->isSelected())
        return QStringLiteral("2");
    return {};
}

void FeedbackViewController::showNotice(const QString& text, const QString& imageName) {
    if (!notify_)
        return;
    notify_->showBDK(text, imageName);
    notify_->displayNotification();
}

void FeedbackViewController::submit() {
    const QString type = selectedType();
    if (type.isEmpty()) {
        showNotice(L("Please select the type of problem"), QStringLiteral("read_refresh_no"));
        return;
    }
    const QString content = textFeedback_->toPlainText();
    if (content.isEmpty()) {
        showNotice(type == QLatin1String("1") ? L("Feedback suggestions can not be empty")
                                              : L("To beg the book can not be empty"),
                   QStringLiteral("read_refresh_no"));
        textFeedback_->setFocus();
        return;
    }
    restoreView();
    tooles::showHUD(QStringLiteral("正在提交反馈"));
    submitting_ = true;
    QVariantMap params;
    params.insert(QStringLiteral("content"), content);
    params.insert(QStringLiteral("channel"), tooles::deviceString());
    params.insert(QStringLiteral("email"),
                  textEmail_->text().isEmpty() ? QString(QLatin1String("")) : textEmail_->text());
    params.insert(QStringLiteral("qq"),
                  textQQ_->text().isEmpty() ? QString(QLatin1String("")) : textQQ_->text());
    params.insert(QStringLiteral("type"), type);
    Service::addToken(params);
    if (asiHttpRequest_)
        asiHttpRequest_->clearDelegatesAndCancel();
    HttpRequest* request =
        Service::request(Service::signedUrl(Endpoints::feedbackForm, params), this);
    asiHttpRequest_ = request;
    request->setDidFinish([this](HttpRequest* r) {
        r->deleteLater();
        answered(r);
    });
    request->setDidFail([this](HttpRequest* r) {
        r->deleteLater();
        submitting_ = false;
        tooles::removeHUD();
        showNotice(L("The network is not good"), QStringLiteral("read_refresh_no"));
    });
    request->startAsynchronous();
}

void FeedbackViewController::answered(HttpRequest* request) {
    submitting_ = false;
    tooles::removeHUD();
    if (Service::decode(request).ok) {
        textFeedback_->clear();
        textEmail_->clear();
        textQQ_->clear();
        showNotice(QStringLiteral("感谢你的提交！"), QStringLiteral("read_refresh_yes"));
    } else {
        showNotice(QStringLiteral("提交失败！"), QStringLiteral("read_refresh_no"));
    }
}
