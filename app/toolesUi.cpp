// The view and overlay factories of tooles: what every screen builds its look from.
#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QPointer>
#include <QScrollArea>
#include <QScroller>

#include "app/tooles.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ProgressHUD.h"
#include "platform/ui/Window.h"

namespace {
// The one progress overlay (class-wide slot).
QPointer<ProgressHUD>& hudSlot() {
    static QPointer<ProgressHUD> slot;
    return slot;
}
} // namespace

void tooles::showHUD(const QString& label, QObject* owner) {
    Window* window = Window::keyWindow();
    if (!window)
        return;
    // A second showHUD without removeHUD would strand the first overlay over the window for
    // good; it is taken away before the new one goes up.
    if (ProgressHUD* old = hudSlot().data())
        old->hideAnimated();
    auto* hud = new ProgressHUD(window);
    hud->setLabelText(label);
    hud->showAnimated();
    hudSlot() = hud;
    // A screen closed before its answer arrived never calls removeHUD: its overlay would block
    // the window for good.
    if (owner)
        QObject::connect(owner, &QObject::destroyed, hud, [hud] {
            if (hudSlot().data() == hud)
                removeHUD();
        });
}

void tooles::removeHUD() {
    if (ProgressHUD* hud = hudSlot().data())
        hud->hideAnimated();
    hudSlot() = nullptr;
}

QColor tooles::selectionColor() {
    return QColor(230, 138, 66);
}

void tooles::useAppSelectionColor(QWidget* widget) {
    QPalette palette = widget ? widget->palette() : QApplication::palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, selectionColor());
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    if (widget)
        widget->setPalette(palette);
    else
        QApplication::setPalette(palette);
}

void tooles::MsgBox(const QString& message) {
    auto* alert = new AlertView(QString(), message, nullptr, QStringLiteral("确定"));
    alert->setTag(9999);
    alert->show();
}

QWidget* tooles::bgView(bool withNavigationBar, bool havTab, QWidget* parent) {
    const QRect screen = Window::screenBounds();
    auto* background = new ImageView(parent);
    background->setObjectName(QStringLiteral("bgView"));
    background->setPatternNamed(QStringLiteral("public_Bg"));
    background->setGeometry(screen);
    int height = screen.height();
    if (withNavigationBar)
        height = screen.height() - 44 - (havTab ? 49 : 0) - 20 - 8;
    auto* content = new ImageView(background);
    content->setObjectName(QStringLiteral("contentPanel"));
    content->setImageNamed(QStringLiteral("public_contentBg"), QMargins(0, 10, 0, 10));
    content->setGeometry(5, 4, screen.width() - 10, height);
    return background;
}

QWidget* tooles::setReadBg(int style, QWidget* parent) {
    auto* page = new ImageView(parent);
    page->setObjectName(QStringLiteral("readBg"));
    page->setImageNamed(style == 1 ? QStringLiteral("read_bookBg_white")
                                   : QStringLiteral("read_bookBg_black"),
                        QMargins(19, 19, 10, 10));
    page->setGeometry(Window::screenBounds());
    return page;
}

Button* tooles::createButtonWithTitle(const QString& title, const QColor& titleColor, int fontSize,
                                      QObject* target, const std::function<void(int)>& selector,
                                      const QRect& frame, const QString& image,
                                      const QString& imagePressed, int tag, QWidget* parent) {
    auto* button = new Button(parent);
    button->setGeometry(frame);
    button->setText(title);
    button->setTitleColor(titleColor);
    button->setFontSize(fontSize);
    button->setBackgroundImageNamed(image, imagePressed, QMargins(6, 0, 6, 0));
    button->setTag(tag);
    if (target && selector)
        button->setAction(target, selector);
    return button;
}

Button* tooles::barButton(QWidget* owner, const QString& objectName, const QString& image,
                          const QString& title, int tag, std::function<void(int)> action,
                          const QSize& size, const QMargins& caps, const QString& fontFamily) {
    auto* button = new Button(owner);
    if (!objectName.isEmpty())
        button->setObjectName(objectName);
    button->setTag(tag);
    button->setBackgroundImageNamed(image, {}, caps);
    button->setText(title);
    button->setTitleColor(Qt::white);
    if (fontFamily.isEmpty()) {
        button->setFontSize(14);
    } else {
        QFont font(fontFamily);
        font.setPixelSize(14);
        button->setFont(font);
    }
    button->resize(size);
    button->setAction(owner, std::move(action));
    return button;
}

QScrollArea* tooles::fingerScrollArea(QWidget* parent, const QString& objectName, bool bounce) {
    auto* area = new QScrollArea(parent);
    area->setObjectName(objectName);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setStyleSheet(QStringLiteral("QScrollArea { background: transparent; }"));
    area->viewport()->setAutoFillBackground(false);
    GestureRecognizer::scrollLikeAFinger(area);
    if (!bounce)
        return area;
    if (QScroller* scroller = QScroller::scroller(area->viewport())) {
        QScrollerProperties props = scroller->scrollerProperties();
        props.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy,
                              QScrollerProperties::OvershootAlwaysOn);
        scroller->setScrollerProperties(props);
    }
    return area;
}
