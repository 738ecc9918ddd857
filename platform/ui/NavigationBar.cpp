#include "platform/ui/NavigationBar.h"

#include <QLabel>
#include <QPainter>

#include "platform/Images.h"
#include "platform/Localizable.h"
#include "platform/ui/Button.h"
#include "platform/ui/ViewController.h"

namespace {
QSize widgetSize(const QWidget* w) {
    // A widget that was given a size keeps it; others take their preferred size.
    return w->testAttribute(Qt::WA_Resized) ? w->size() : w->sizeHint();
}
} // namespace

NavigationBar::NavigationBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("NavigationBar"));
    setAttribute(Qt::WA_StyledBackground, false);
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("navigationTitle"));
    title_->setAlignment(Qt::AlignCenter);
    QFont f = title_->font();
    f.setPixelSize(19);
    f.setBold(true);
    title_->setFont(f);
    title_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));

    backButton_ = new Button(this);
    backButton_->setObjectName(QStringLiteral("navigationBackButton"));
    backButton_->setText(L("back"));
    backButton_->setFontSize(13);
    backButton_->setBackgroundImageNamed(QStringLiteral("public_toolBg_Button_back"), {},
                                         QMargins(14, 0, 6, 0));
    backButton_->resize(52, 30);
    backButton_->hide();
    connect(backButton_, &QAbstractButton::clicked, this, [this] {
        if (back_)
            back_();
    });
    setBackgroundImageNamed(QStringLiteral("public_toolBg"));
}

NavigationBar::~NavigationBar() = default;

void NavigationBar::setBackgroundImageNamed(const QString& name) {
    backgroundName_ = name;
    background_ = StretchableImage::named(name, QMargins(4, 4, 4, 4));
    update();
}

QString NavigationBar::titleText() const {
    return title_->text();
}

void NavigationBar::showItemsOf(ViewController* screen, bool canGoBack,
                                std::function<void()> back) {
    for (QWidget* w : {left_.data(), right_.data(), titleView_.data()}) {
        if (w && w->parentWidget() == this)
            w->hide();
    }
    left_ = screen ? screen->leftBarButton() : nullptr;
    right_ = screen ? screen->rightBarButton() : nullptr;
    titleView_ = screen ? screen->titleView() : nullptr;
    back_ = std::move(back);
    title_->setText(screen ? screen->title() : QString());
    title_->setVisible(!titleView_);
    for (QWidget* w : {left_.data(), right_.data(), titleView_.data()}) {
        if (!w)
            continue;
        if (w->parentWidget() != this)
            w->setParent(this);
        w->show();
        w->raise();
    }
    backButton_->setVisible(canGoBack && screen && !screen->hidesBackButton() && !left_);
    relayout();
}

void NavigationBar::resizeEvent(QResizeEvent*) {
    relayout();
}

void NavigationBar::relayout() {
    const int h = height();
    int leftEdge = 5;
    int rightEdge = width() - 5;
    auto place = [h](QWidget* w, int x) {
        const QSize s = widgetSize(w);
        w->setGeometry(x, (h - s.height()) / 2, s.width(), s.height());
        return s.width();
    };
    if (backButton_->isVisible())
        leftEdge += place(backButton_, 5) + 4;
    if (left_)
        leftEdge += place(left_, 5) + 4;
    if (right_) {
        const QSize s = widgetSize(right_);
        place(right_, width() - 5 - s.width());
        rightEdge -= s.width() + 4;
    }
    const int side = std::max(leftEdge, width() - rightEdge);
    if (titleView_) {
        const QSize s = widgetSize(titleView_);
        titleView_->setGeometry((width() - s.width()) / 2, (h - s.height()) / 2, s.width(),
                                s.height());
    }
    title_->setGeometry(side, 0, std::max(0, width() - 2 * side), h);
}

void NavigationBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (background_.isNull())
        p.fillRect(rect(), QColor(0x8a, 0x4b, 0x2a));
    else
        background_.draw(p, rect());
}
