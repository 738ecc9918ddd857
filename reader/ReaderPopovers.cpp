#include "reader/ReaderPopovers.h"

#include <QPointer>

#include "platform/Timing.h"
#include "reader/BtnSetFontsizeViewController.h"
#include "reader/BtnSetLightViewController.h"
#include "reader/JumpToViewController.h"
#include "reader/ReadbooksViewController.h"
#include "widgets/WEPopoverController.h"

namespace {

WEPopoverController* present(ReadbooksViewController* reader, ViewController* content,
                             QWidget* fromView, const QRect& rect) {
    content->resize(ReaderPopovers::kWidth, ReaderPopovers::kHeight);
    content->loadViewIfNeeded();
    auto* popover = new WEPopoverController(content, reader);
    popover->setDelegate(reader);
    popover->setPopoverContentSize(QSize(ReaderPopovers::kWidth, ReaderPopovers::kHeight));
    popover->setContainerViewProperties(WEPopoverContainerViewProperties::standard());
    popover->presentPopoverFromRect(rect, fromView ? fromView : reader,
                                    WEPopoverContainerView::ArrowAny, true);
    return popover;
}

} // namespace

WEPopoverController* ReaderPopovers::showFontSize(ReadbooksViewController* reader,
                                                  QWidget* fromView, const QRect& rect) {
    return present(reader, new BtnSetFontsizeViewController(reader), fromView, rect);
}

WEPopoverController* ReaderPopovers::showLight(ReadbooksViewController* reader, QWidget* fromView,
                                               const QRect& rect) {
    return present(reader, new BtnSetLightViewController(reader), fromView, rect);
}

WEPopoverController* ReaderPopovers::showJump(ReadbooksViewController* reader, QWidget* fromView,
                                              const QRect& rect, const QString& bookId,
                                              int chapterId) {
    auto* jump = new JumpToViewController(reader);
    jump->book_id = bookId;
    jump->chapter_id = chapterId;
    return present(reader, jump, fromView, rect);
}

void ReaderPopovers::dismiss(WEPopoverController* popover) {
    if (!popover)
        return;
    popover->dismissPopoverAnimated(true);
    Timing::after(WEPopoverController::kFadeMs + 50, popover,
                  [popover] { popover->deleteLater(); });
}
