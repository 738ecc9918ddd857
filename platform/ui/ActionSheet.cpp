#include "platform/ui/ActionSheet.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Window.h"

namespace {
constexpr int kButtonHeight = 44;
constexpr int kMargin = 8;
constexpr int kSlideMs = 250;

class SheetPanel final : public QWidget {
public:
    explicit SheetPanel(QWidget* parent) : QWidget(parent) {}
    QList<QRect> groups;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        for (const QRect& r : groups) {
            QPainterPath path;
            path.addRoundedRect(QRectF(r), 10, 10);
            p.fillPath(path, QColor(0xfb, 0xf8, 0xf2));
        }
    }
};
} // namespace

ActionSheetDelegate::~ActionSheetDelegate() = default;

ActionSheet::ActionSheet(const QString& title, ActionSheetDelegate* delegate,
                         const QString& cancelButtonTitle, const QString& destructiveButtonTitle,
                         const QStringList& otherButtonTitles)
    : QWidget(nullptr), title_(title), delegate_(delegate) {
    setObjectName(QStringLiteral("ActionSheet"));
    if (auto* object = dynamic_cast<QObject*>(delegate)) {
        delegateGuard_ = object;
        delegateIsObject_ = true;
    }
    if (!destructiveButtonTitle.isEmpty()) {
        destructiveIndex_ = 0;
        buttonTitles_.append(destructiveButtonTitle);
    }
    buttonTitles_.append(otherButtonTitles);
    if (!cancelButtonTitle.isEmpty()) {
        cancelIndex_ = int(buttonTitles_.size());
        buttonTitles_.append(cancelButtonTitle);
    }
}

ActionSheet::~ActionSheet() = default;

QString ActionSheet::buttonTitleAtIndex(int index) const {
    return index >= 0 && index < buttonTitles_.size() ? buttonTitles_[index] : QString();
}

void ActionSheet::setClickHandler(QObject* receiver,
                                  std::function<void(ActionSheet*, int)> handler) {
    handlerReceiver_ = receiver;
    handler_ = std::move(handler);
}

QList<ActionSheet*> ActionSheet::visibleSheets() {
    QList<ActionSheet*> result;
    if (Window* w = Window::keyWindow()) {
        for (QObject* child : w->children()) {
            auto* sheet = qobject_cast<ActionSheet*>(child);
            if (sheet && sheet->panel_ && !sheet->closing_)
                result.append(sheet);
        }
    }
    return result;
}

void ActionSheet::show() {
    Window* w = Window::keyWindow();
    if (panel_)
        return;
    if (!w) {
        deleteLater();
        return;
    }
    setParent(w);
    setGeometry(w->rect());
    panel_ = new SheetPanel(this);
    panel_->setObjectName(QStringLiteral("sheetPanel"));
    if (!title_.isEmpty()) {
        auto* label = new QLabel(title_, panel_);
        label->setObjectName(QStringLiteral("sheetTitle"));
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        QFont f = label->font();
        f.setPixelSize(13);
        label->setFont(f);
        label->setStyleSheet(QStringLiteral("color:#7a6f68;background:transparent;"));
    }
    for (int i = 0; i < buttonTitles_.size(); ++i) {
        auto* b = new Button(panel_);
        b->setObjectName(QStringLiteral("sheetButton%1").arg(i));
        b->setTag(i);
        b->setText(buttonTitles_[i]);
        b->setTitleColor(i == destructiveIndex_ ? QColor(0xd0, 0x3b, 0x2f)
                                                : QColor(0xa0, 0x52, 0x2d));
        b->setFontSize(18, i == cancelIndex_);
        b->setAction(this, [this](int index) { clickButtonAtIndex(index); });
    }
    layoutPanel();
    QWidget::show();
    raise();
    const QPoint target = panel_->pos();
    panel_->move(target.x(), height());
    Animation::animate(panel_, "pos", target, kSlideMs);
}

void ActionSheet::layoutPanel() {
    if (!panel_)
        return;
    const int w = width() - 2 * kMargin;
    int y = 0;
    QList<QRect> groups;
    auto* label = panel_->findChild<QLabel*>(QStringLiteral("sheetTitle"));
    const int top = y;
    if (label) {
        const int h = label->heightForWidth(w - 24) + 24;
        label->setGeometry(12, y, w - 24, h);
        y += h;
    }
    for (int i = 0; i < buttonTitles_.size(); ++i) {
        if (i == cancelIndex_)
            continue;
        panel_->findChild<Button*>(QStringLiteral("sheetButton%1").arg(i))
            ->setGeometry(0, y, w, kButtonHeight);
        y += kButtonHeight;
    }
    groups.append(QRect(0, top, w, y - top));
    if (cancelIndex_ >= 0) {
        y += kMargin;
        panel_->findChild<Button*>(QStringLiteral("sheetButton%1").arg(cancelIndex_))
            ->setGeometry(0, y, w, kButtonHeight);
        groups.append(QRect(0, y, w, kButtonHeight));
        y += kButtonHeight;
    }
    static_cast<SheetPanel*>(panel_)->groups = groups;
    panel_->setGeometry(kMargin, height() - y - kMargin, w, y);
}

void ActionSheet::clickButtonAtIndex(int index) {
    if (closing_ || !panel_ || index < 0 || index >= buttonTitles_.size())
        return;
    dismiss();
    if (delegate_ && (!delegateIsObject_ || delegateGuard_))
        delegate_->actionSheetClickedButtonAtIndex(this, index);
    if (handler_ && handlerReceiver_)
        handler_(this, index);
}

void ActionSheet::dismiss() {
    if (closing_)
        return;
    closing_ = true;
    if (!panel_) {
        deleteLater();
        return;
    }
    setAttribute(Qt::WA_TransparentForMouseEvents);
    Animation::animate(panel_, "pos", QPoint(panel_->x(), height()), kSlideMs, [this] {
        hide();
        deleteLater();
    });
}

void ActionSheet::mousePressEvent(QMouseEvent* event) {
    // A tap outside the buttons counts as cancel.
    if (panel_ && !panel_->geometry().contains(event->position().toPoint()) && cancelIndex_ >= 0)
        clickButtonAtIndex(cancelIndex_);
}

void ActionSheet::resizeEvent(QResizeEvent*) {
    layoutPanel();
}

void ActionSheet::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, 100));
}
