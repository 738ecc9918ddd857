#include "platform/ui/AlertView.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Window.h"

namespace {
constexpr int kPanelWidth = 270;
constexpr int kButtonHeight = 44;
constexpr int kFadeMs = 200;
const QColor kAccent(0xa0, 0x52, 0x2d);

// The rounded panel itself.
class AlertPanel final : public QWidget {
public:
    explicit AlertPanel(QWidget* parent) : QWidget(parent) {}
    QList<QLine> separators;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
        p.fillPath(path, QColor(0xfb, 0xf8, 0xf2));
        p.setPen(QColor(0, 0, 0, 30));
        p.drawPath(path);
        // Hairlines between the buttons.
        p.setPen(QColor(0, 0, 0, 45));
        for (const QLine& line : separators)
            p.drawLine(line);
    }
};
} // namespace

AlertViewDelegate::~AlertViewDelegate() = default;

AlertView::AlertView(const QString& title, const QString& message, AlertViewDelegate* delegate,
                     const QString& cancelButtonTitle, const QStringList& otherButtonTitles)
    : QWidget(nullptr), title_(title), message_(message), delegate_(delegate) {
    setObjectName(QStringLiteral("AlertView"));
    if (auto* object = dynamic_cast<QObject*>(delegate)) {
        delegateGuard_ = object;
        delegateIsObject_ = true;
    }
    if (!cancelButtonTitle.isEmpty()) {
        cancelIndex_ = 0;
        buttonTitles_.append(cancelButtonTitle);
    }
    buttonTitles_.append(otherButtonTitles);
}

AlertView::~AlertView() = default;

QString AlertView::buttonTitleAtIndex(int index) const {
    return index >= 0 && index < buttonTitles_.size() ? buttonTitles_[index] : QString();
}

void AlertView::setClickHandler(QObject* receiver, std::function<void(AlertView*, int)> handler) {
    handlerReceiver_ = receiver;
    handler_ = std::move(handler);
}

void AlertView::setOffset(const QPoint& offset) {
    offset_ = offset;
    layoutPanel();
}

QList<AlertView*> AlertView::visibleAlerts() {
    QList<AlertView*> result;
    if (Window* w = Window::keyWindow()) {
        for (QObject* child : w->children()) {
            auto* alert = qobject_cast<AlertView*>(child);
            if (alert && alert->shown_ && !alert->closing_)
                result.append(alert);
        }
    }
    return result;
}

void AlertView::show() {
    Window* w = Window::keyWindow();
    if (shown_)
        return;
    if (!w) {
        // Nowhere to show it: it would only linger unowned.
        qWarning("AlertView: no window to show \"%s\" in", qUtf8Printable(title_ + message_));
        deleteLater();
        return;
    }
    shown_ = true;
    setParent(w);
    setGeometry(w->rect());
    w->installEventFilter(this);
    build();
    QWidget::show();
    raise();
    Animation::setOpacity(this, 0);
    Animation::fade(this, 1.0, kFadeMs);
}

void AlertView::build() {
    panel_ = new AlertPanel(this);
    panel_->setObjectName(QStringLiteral("alertPanel"));
    auto* titleLabel = new QLabel(title_, panel_);
    titleLabel->setObjectName(QStringLiteral("alertTitle"));
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setWordWrap(true);
    QFont tf = titleLabel->font();
    tf.setPixelSize(17);
    tf.setBold(true);
    titleLabel->setFont(tf);
    titleLabel->setStyleSheet(QStringLiteral("color:#2b2420;background:transparent;"));
    titleLabel->setVisible(!title_.isEmpty());
    auto* messageLabel = new QLabel(message_, panel_);
    messageLabel->setObjectName(QStringLiteral("alertMessage"));
    messageLabel->setAlignment(Qt::AlignCenter);
    messageLabel->setWordWrap(true);
    QFont mf = messageLabel->font();
    mf.setPixelSize(14);
    messageLabel->setFont(mf);
    messageLabel->setStyleSheet(QStringLiteral("color:#4a403a;background:transparent;"));
    messageLabel->setVisible(!message_.isEmpty());
    for (int i = 0; i < buttonTitles_.size(); ++i) {
        auto* b = new Button(panel_);
        b->setObjectName(QStringLiteral("alertButton%1").arg(i));
        b->setTag(i);
        b->setText(buttonTitles_[i]);
        b->setTitleColor(kAccent);
        b->setFontSize(16, i == cancelIndex_ && buttonTitles_.size() > 1 ? false : true);
        b->setAction(this, [this](int index) { clickButtonAtIndex(index); });
    }
    layoutPanel();
}

void AlertView::layoutPanel() {
    if (!panel_)
        return;
    auto* titleLabel = panel_->findChild<QLabel*>(QStringLiteral("alertTitle"));
    auto* messageLabel = panel_->findChild<QLabel*>(QStringLiteral("alertMessage"));
    int y = 18;
    const int inner = kPanelWidth - 32;
    if (!title_.isEmpty()) {
        const int h = titleLabel->heightForWidth(inner);
        titleLabel->setGeometry(16, y, inner, h);
        y += h + 6;
    }
    if (!message_.isEmpty()) {
        const int h = messageLabel->heightForWidth(inner);
        messageLabel->setGeometry(16, y, inner, h);
        y += h;
    }
    y += 18;
    QList<QLine> separators;
    const int n = int(buttonTitles_.size());
    QList<Button*> buttons;
    for (int i = 0; i < n; ++i)
        buttons.append(panel_->findChild<Button*>(QStringLiteral("alertButton%1").arg(i)));
    if (n == 2) {
        separators.append(QLine(0, y, kPanelWidth, y));
        separators.append(QLine(kPanelWidth / 2, y, kPanelWidth / 2, y + kButtonHeight));
        buttons[0]->setGeometry(0, y, kPanelWidth / 2, kButtonHeight);
        buttons[1]->setGeometry(kPanelWidth / 2, y, kPanelWidth - kPanelWidth / 2, kButtonHeight);
        y += kButtonHeight;
    } else {
        // Stacked, with the cancel button last as the eye expects it.
        QList<int> order;
        for (int i = 0; i < n; ++i) {
            if (i != cancelIndex_)
                order.append(i);
        }
        if (cancelIndex_ >= 0)
            order.append(cancelIndex_);
        for (int i : order) {
            separators.append(QLine(0, y, kPanelWidth, y));
            buttons[i]->setGeometry(0, y, kPanelWidth, kButtonHeight);
            y += kButtonHeight;
        }
    }
    static_cast<AlertPanel*>(panel_)->separators = separators;
    const QRect area = rect();
    panel_->setGeometry((area.width() - kPanelWidth) / 2 + offset_.x(),
                        (area.height() - y) / 2 + offset_.y(), kPanelWidth, y);
    panel_->update();
}

void AlertView::clickButtonAtIndex(int index) {
    if (closing_ || !shown_ || index < 0 || index >= buttonTitles_.size())
        return;
    // Close first so a handler that shows another alert sees this one gone.
    dismiss();
    if (delegate_ && (!delegateIsObject_ || delegateGuard_))
        delegate_->alertViewClickedButtonAtIndex(this, index);
    if (handler_ && handlerReceiver_)
        handler_(this, index);
}

void AlertView::dismiss() {
    if (closing_)
        return;
    closing_ = true;
    if (!shown_) {
        deleteLater();
        return;
    }
    setAttribute(Qt::WA_TransparentForMouseEvents);
    Animation::fade(this, 0.0, kFadeMs, [this] {
        hide();
        deleteLater();
    });
}

bool AlertView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == parent())
        setGeometry(static_cast<QWidget*>(watched)->rect());
    return false;
}

void AlertView::resizeEvent(QResizeEvent*) {
    layoutPanel();
}

void AlertView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, 100));
}
