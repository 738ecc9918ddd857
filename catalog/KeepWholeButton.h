#pragma once

#include <QPointer>
#include <QString>

#include "platform/ui/Button.h"

class NoticeView;
class ViewController;

// "缓存全本" for one book, for screens other than the book detail: a tap queues the whole book
// (signed in, and over Wi-Fi when the Wi-Fi-only setting is on), "已缓存 n/N" follows the
// download, a tap then offers to stop it, and "已缓存全本" (disabled) shows a book stored whole.
class KeepWholeButton final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeepWholeButton)

public:
    // A button for bookId inside parent, at frame; screen presents the login and the notices.
    static Button* create(const QString& bookId, ViewController* screen, QWidget* parent,
                          const QRect& frame);

private:
    KeepWholeButton(const QString& bookId, ViewController* screen, Button* button);
    void refresh();
    void tapped();
    void notice(const QString& text, const QString& image);

    QString bookId_;
    QPointer<ViewController> screen_;
    Button* button_ = nullptr;
    QPointer<NoticeView> notify_;
};
