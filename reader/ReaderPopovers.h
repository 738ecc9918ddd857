#pragma once

#include <QRect>
#include <QString>

class QObject;
class QWidget;
class ReadbooksViewController;
class WEPopoverController;

// The reader's three control popovers, 312 × 54 points, presented from a toolbar item with
// the reader as delegate and the arrow free to point any way.
namespace ReaderPopovers {

inline constexpr int kWidth = 312;
inline constexpr int kHeight = 54;

// rect is the tapped item, in fromView's coordinates.
WEPopoverController* showFontSize(ReadbooksViewController* reader, QWidget* fromView,
                                  const QRect& rect);
WEPopoverController* showLight(ReadbooksViewController* reader, QWidget* fromView,
                               const QRect& rect);
WEPopoverController* showJump(ReadbooksViewController* reader, QWidget* fromView, const QRect& rect,
                              const QString& bookId, int chapterId);
// Dismisses the popover (animated) and lets it go afterwards.
void dismiss(WEPopoverController* popover);

} // namespace ReaderPopovers
