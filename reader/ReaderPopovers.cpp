#include "reader/ReaderPopovers.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "platform/Images.h"
#include "platform/ui/Animation.h"
#include "platform/ui/StretchableImage.h"
#include "platform/ui/Window.h"
#include "reader/BtnSetFontsizeViewController.h"
#include "reader/BtnSetLightViewController.h"
#include "reader/JumpToViewController.h"
#include "reader/ReadbooksViewController.h"

namespace {

constexpr int kMarginLeft = 4;
constexpr int kMarginRight = 3;
constexpr int kMarginTop = 4;
constexpr int kMarginBottom = 4;
constexpr int kBottomBackgroundMargin = 6;
constexpr int kArrowHeight = 12;
constexpr int kFadeMs = 200;

// The popover container: covers the window to catch a tap outside the panel (which dismisses
// it), and draws the panel's background with an arrow pointing at the toolbar item.
class PopoverContainer final : public QWidget {
public:
    PopoverContainer(QWidget* window, ViewController* content, const QRect& anchor,
                     ReadbooksViewController* delegate)
        : QWidget(window), content_(content), delegate_(delegate) {
        setObjectName(QStringLiteral("readerPopover"));
        setGeometry(window->rect());
        const int w = ReaderPopovers::kWidth + kMarginLeft + kMarginRight;
        const int h =
            ReaderPopovers::kHeight + kMarginTop + kMarginBottom + kBottomBackgroundMargin;
        // Above the item when there is room, below it otherwise.
        const bool above = anchor.top() - h - kArrowHeight >= 0;
        const int x = std::clamp(anchor.center().x() - w / 2, 0, std::max(0, width() - w));
        const int y = above ? anchor.top() - h - kArrowHeight + kBottomBackgroundMargin
                            : anchor.bottom() + kArrowHeight;
        panel_ = QRect(x, y, w, h);
        arrowX_ = anchor.center().x();
        above_ = above;
        content_->setParent(this);
        content_->setGeometry(panel_.x() + kMarginLeft, panel_.y() + kMarginTop,
                              ReaderPopovers::kWidth, ReaderPopovers::kHeight);
        content_->loadViewIfNeeded();
        content_->show();
        background_ =
            StretchableImage::named(QStringLiteral("read_tanchuBg.png"), QMargins(31, 31, 31, 31));
        arrow_ = Images::named(QStringLiteral("read_tanchuBg_jiantou.png"));
        show();
        raise();
        Animation::setOpacity(this, 0.0);
        Animation::fade(this, 1.0, kFadeMs);
    }

    ViewController* content() const { return content_; }

    void dismiss(bool tellDelegate) {
        if (closing_)
            return;
        closing_ = true;
        QPointer<PopoverContainer> self(this);
        QPointer<ReadbooksViewController> delegate(delegate_);
        Animation::fade(this, 0.0, kFadeMs, [self, delegate, tellDelegate] {
            if (tellDelegate && delegate && self)
                delegate->popoverControllerDidDismissPopover(self);
            if (self)
                self->deleteLater();
        });
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRect bg = panel_.adjusted(0, 0, 0, -kBottomBackgroundMargin);
        if (!background_.isNull()) {
            background_.draw(p, bg);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(250, 246, 236, 245));
            p.drawRoundedRect(bg, 8, 8);
        }
        const QRect arrowRect(arrowX_ - 9, above_ ? bg.bottom() : bg.top() - kArrowHeight, 18,
                              kArrowHeight);
        if (!arrow_.isNull()) {
            QPixmap a = arrow_;
            if (!above_)
                a = a.transformed(QTransform().rotate(180));
            p.drawPixmap(arrowRect, a);
        } else {
            QPolygon tri;
            if (above_)
                tri << QPoint(arrowRect.left(), arrowRect.top())
                    << QPoint(arrowRect.right(), arrowRect.top())
                    << QPoint(arrowRect.center().x(), arrowRect.bottom());
            else
                tri << QPoint(arrowRect.left(), arrowRect.bottom())
                    << QPoint(arrowRect.right(), arrowRect.bottom())
                    << QPoint(arrowRect.center().x(), arrowRect.top());
            p.setBrush(QColor(250, 246, 236, 245));
            p.drawPolygon(tri);
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (panel_.contains(event->position().toPoint()))
            return;
        if (!delegate_ || delegate_->popoverControllerShouldDismissPopover(this))
            dismiss(true);
    }

private:
    ViewController* content_;
    QPointer<ReadbooksViewController> delegate_;
    QRect panel_;
    int arrowX_ = 0;
    bool above_ = true;
    bool closing_ = false;
    StretchableImage background_;
    QPixmap arrow_;
};

QObject* present(ReadbooksViewController* reader, ViewController* content, const QRect& anchor) {
    QWidget* host = reader->window();
    if (!host)
        host = reader;
    return new PopoverContainer(host, content, anchor, reader);
}

} // namespace

QObject* ReaderPopovers::showFontSize(ReadbooksViewController* reader, const QRect& anchor) {
    return present(reader, new BtnSetFontsizeViewController(reader), anchor);
}

QObject* ReaderPopovers::showLight(ReadbooksViewController* reader, const QRect& anchor) {
    return present(reader, new BtnSetLightViewController(reader), anchor);
}

QObject* ReaderPopovers::showJump(ReadbooksViewController* reader, const QRect& anchor,
                                  const QString& bookId, int chapterId) {
    auto* jump = new JumpToViewController(reader);
    jump->book_id = bookId;
    jump->chapter_id = chapterId;
    return present(reader, jump, anchor);
}

void ReaderPopovers::dismiss(QObject* popover) {
    if (auto* container = dynamic_cast<PopoverContainer*>(popover))
        container->dismiss(false);
}

QObject* ReaderPopovers::contentOf(QObject* popover) {
    if (auto* container = dynamic_cast<PopoverContainer*>(popover))
        return container->content();
    return nullptr;
}
