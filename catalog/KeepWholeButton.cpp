#include "catalog/KeepWholeButton.h"

#include "account/LoginViewController.h"
#include "catalog/BookDetailViewController.h"
#include "catalog/BookKeeper.h"
#include "platform/Localizable.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NoticeView.h"
#include "platform/ui/ViewController.h"
#include "storage/UserStore.h"

Button* KeepWholeButton::create(const QString& bookId, ViewController* screen, QWidget* parent,
                                const QRect& frame) {
    auto* button = new Button(parent);
    button->setObjectName(QStringLiteral("btnKeep"));
    button->setBackgroundImageNamed(QStringLiteral("books_Button_keep"));
    button->setGeometry(frame);
    // Lives as long as its button.
    new KeepWholeButton(bookId, screen, button);
    return button;
}

KeepWholeButton::KeepWholeButton(const QString& bookId, ViewController* screen, Button* button)
    : QObject(button), bookId_(bookId), screen_(screen), button_(button) {
    button_->setAction(this, [this](int) { tapped(); });
    BookKeeper* keeper = BookKeeper::shared();
    connect(keeper, &BookKeeper::progressChanged, this, [this](const QString& book, int, int) {
        if (book == bookId_)
            refresh();
    });
    connect(keeper, &BookKeeper::stateChanged, this, &KeepWholeButton::refresh);
    connect(keeper, &BookKeeper::finished, this, [this](const QString& book, int missing) {
        if (book != bookId_)
            return;
        refresh();
        notice(missing > 0 ? QStringLiteral("完成，%1章缺失").arg(missing) : QStringLiteral("完成"),
               QStringLiteral("read_refresh_yes"));
    });
    refresh();
}

void KeepWholeButton::refresh() {
    BookKeeper* keeper = BookKeeper::shared();
    const QColor ink(74, 52, 38);
    if (keeper->isKept(bookId_)) {
        const BookKeeper::Progress p = keeper->progressOf(bookId_);
        button_->setText(p.total > 0 ? QStringLiteral("已缓存 %1/%2").arg(p.stored).arg(p.total)
                                     : QStringLiteral("已缓存 0/…"));
        button_->setFontSize(p.total >= 100 ? 11 : 12);
        button_->setTitleColor(ink);
        button_->setEnabled(true);
    } else if (BookKeeper::isComplete(bookId_)) {
        button_->setText(QStringLiteral("已缓存全本"));
        button_->setFontSize(13);
        button_->setTitleColor(QColor(122, 98, 78));
        button_->setEnabled(false);
    } else {
        button_->setText(QStringLiteral("缓存全本"));
        button_->setFontSize(14);
        button_->setTitleColor(ink);
        button_->setEnabled(true);
    }
}

void KeepWholeButton::tapped() {
    BookKeeper* keeper = BookKeeper::shared();
    if (keeper->isKept(bookId_)) {
        auto* alert = new AlertView(QStringLiteral("提示"), QStringLiteral("停止缓存全本吗？"),
                                    nullptr, QStringLiteral("取消"), {QStringLiteral("确定")});
        alert->setClickHandler(this, [this](AlertView*, int index) {
            if (index == 1)
                BookKeeper::shared()->cancel(bookId_);
            refresh();
        });
        alert->show();
        return;
    }
    if (BookKeeper::isComplete(bookId_))
        return;
    if (!UserStore::isSignedIn()) {
        if (screen_)
            LoginViewController::presentFrom(screen_);
        return;
    }
    const auto& wifi = BookDetailViewController::wifiAvailable;
    if (UserDefaults::standard().boolForKey(QStringLiteral("is_open_wifi")) && !(wifi && wifi())) {
        notice(L("Please open settings not limited wifi download"),
               QStringLiteral("read_refresh_no"));
        return;
    }
    if (!keeper->keep(bookId_))
        notice(L("The network is not good"), QStringLiteral("read_refresh_no"));
    refresh();
}

void KeepWholeButton::notice(const QString& text, const QString& image) {
    if (!screen_)
        return;
    if (!notify_)
        notify_ = new NoticeView(screen_, 20);
    notify_->showBDK(text, image);
    notify_->raise();
    notify_->displayNotification();
}
