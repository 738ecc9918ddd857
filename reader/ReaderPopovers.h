#pragma once

#include <QRect>
#include <QString>

class QObject;
class ReadbooksViewController;

// The reader's three control popovers, 312 × 54 points, presented from a toolbar item with
// the reader as delegate. Each call answers the popover shown (the reader keeps it to dismiss
// it before the next one).
namespace ReaderPopovers {

inline constexpr int kWidth = 312;
inline constexpr int kHeight = 54;

QObject* showFontSize(ReadbooksViewController* reader, const QRect& anchorInWindow);
QObject* showLight(ReadbooksViewController* reader, const QRect& anchorInWindow);
QObject* showJump(ReadbooksViewController* reader, const QRect& anchorInWindow,
                  const QString& bookId, int chapterId);
// Dismisses a popover that one of the calls above answered (animated).
void dismiss(QObject* popover);
// The controller inside a popover (for tests and the screenshot walk).
QObject* contentOf(QObject* popover);

} // namespace ReaderPopovers
