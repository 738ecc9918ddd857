#include "account/RegisterViewController.h"

#include "account/CheckCaptchaViewController.h"
#include "account/KeyboardDoneButton.h"
#include "account/LoginViewController.h"
#include "account/RegByEmailViewController.h"
#include "account/RegByPhoneViewController.h"
#include "account/TextField.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace {
constexpr int kTabTop = 12;
constexpr int kFormTop = 48;
} // namespace

RegisterViewController::RegisterViewController(QWidget* parent) : FormViewController(parent) {
    setObjectName(QStringLiteral("RegisterViewController"));
    setTitle(L("register"));
}

RegisterViewController::~RegisterViewController() = default;

void RegisterViewController::viewDidLoad() {
    FormViewController::viewDidLoad();
    const QRect screen = Window::screenBounds();

    btnBack_ = makeBarButton(L("back"), 0, true);
    setLeftBarButton(btnBack_);
    setHidesBackButton(true);

    auto tab = [this](const QString& title, int tag, int x) {
        auto* b = new Button(this);
        b->setTag(tag);
        b->setBackgroundImageNamed(QStringLiteral("column_Reg_tabbg"),
                                   QStringLiteral("column_Reg_tabbg_hover"));
        b->setText(title);
        b->setTitleColor(QColor(0x5a, 0x46, 0x34));
        b->setFontSize(16, true);
        b->setGeometry(x, kTabTop, 145, 36);
        b->setAction(this, [this](int t) { action(t); });
        return b;
    };
    btnRegByPhone_ = tab(L("regByPhone"), 1, 15);
    btnRegByPhone_->setObjectName(QStringLiteral("btnRegByPhone"));
    btnRegByEmail_ = tab(L("regByEmail"), 2, 160);
    btnRegByEmail_->setObjectName(QStringLiteral("btnRegByEmail"));
    btnRegByPhone_->setSelected(true);

    const QRect formFrame(0, kFormTop, screen.width(), screen.height() - kFormTop - 64);
    PhoneView_ = new RegByPhoneViewController(this);
    PhoneView_->delegate = this;
    EmailView_ = new RegByEmailViewController(this);
    for (FormViewController* form : {static_cast<FormViewController*>(PhoneView_),
                                     static_cast<FormViewController*>(EmailView_)}) {
        form->setDrawsBackground(false);
        form->setGeometry(formFrame);
        form->loadViewIfNeeded();
    }
    PhoneView_->show();
    EmailView_->hide();
}

void RegisterViewController::viewWillAppear(bool animated) {
    FormViewController::viewWillAppear(animated);
    PhoneView_->doneInKeyboardButton()->setScreenVisible(true);
}

void RegisterViewController::viewDidAppear(bool animated) {
    FormViewController::viewDidAppear(animated);
    if (PhoneView_->isVisible())
        PhoneView_->textPhone()->becomeFirstResponder();
}

void RegisterViewController::viewWillDisappear(bool animated) {
    FormViewController::viewWillDisappear(animated);
    PhoneView_->doneInKeyboardButton()->setScreenVisible(false);
}

void RegisterViewController::action(int tag) {
    resignAll();
    switch (tag) {
    case 1:
        btnRegByPhone_->setSelected(true);
        btnRegByEmail_->setSelected(false);
        PhoneView_->show();
        EmailView_->hide();
        PhoneView_->doneInKeyboardButton()->setAllowed(true);
        break;
    case 2:
        btnRegByPhone_->setSelected(false);
        btnRegByEmail_->setSelected(true);
        PhoneView_->hide();
        EmailView_->show();
        PhoneView_->doneInKeyboardButton()->setAllowed(false);
        break;
    case 0:
        if (NavigationController* nav = navigationController())
            nav->popToFirstOfClass<LoginViewController>(true);
        break;
    default:
        break;
    }
}

void RegisterViewController::pushToCheckCodeView() {
    if (NavigationController* nav = navigationController())
        nav->pushViewController(new CheckCaptchaViewController(), true);
}
