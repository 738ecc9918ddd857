#include "catalog/KeepProgressBar.h"

#include <QPainter>

#include "catalog/BookKeeper.h"

KeepProgressBar::KeepProgressBar(const QString& bookId, QWidget* parent)
    : QWidget(parent), bookId_(bookId) {
    setObjectName(QStringLiteral("keepBar"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void KeepProgressBar::setProgress(int stored, int total) {
    if (stored == stored_ && total == total_)
        return;
    stored_ = stored;
    total_ = total;
    update();
}

void KeepProgressBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(58, 38, 26, 200));
    if (total_ <= 0)
        return;
    const int filled = int(qint64(width()) * qBound(0, stored_, total_) / total_);
    p.fillRect(QRect(0, 0, filled, height()), QColor(236, 160, 60));
}

KeepProgressBar* KeepProgressBar::addTo(QWidget* cover, const QString& bookId) {
    BookKeeper* keeper = BookKeeper::shared();
    if (!cover || !keeper->isKept(bookId))
        return nullptr;
    auto* bar = new KeepProgressBar(bookId, cover);
    bar->setGeometry(0, cover->height() - kHeight, cover->width(), kHeight);
    const BookKeeper::Progress progress = keeper->progressOf(bookId);
    bar->setProgress(progress.stored, progress.total);
    bar->show();
    return bar;
}

void KeepProgressBar::follow(QWidget* root) {
    BookKeeper* keeper = BookKeeper::shared();
    connect(keeper, &BookKeeper::progressChanged, root,
            [root](const QString& bookId, int stored, int total) {
                for (KeepProgressBar* bar : root->findChildren<KeepProgressBar*>()) {
                    if (bar->bookId() == bookId)
                        bar->setProgress(stored, total);
                }
            });
    connect(keeper, &BookKeeper::stateChanged, root, [root, keeper] {
        for (KeepProgressBar* bar : root->findChildren<KeepProgressBar*>()) {
            if (!keeper->isKept(bar->bookId()))
                bar->deleteLater();
        }
    });
    const auto drop = [root](const QString& bookId) {
        for (KeepProgressBar* bar : root->findChildren<KeepProgressBar*>()) {
            if (bar->bookId() == bookId)
                bar->deleteLater();
        }
    };
    connect(keeper, &BookKeeper::finished, root,
            [drop](const QString& bookId, int) { drop(bookId); });
    connect(keeper, &BookKeeper::failed, root, drop);
}
