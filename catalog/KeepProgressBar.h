#pragma once

#include <QString>
#include <QWidget>

// The thin bar along the bottom of a shelf cover while its book is being kept whole: a dark
// track filled in amber as the chapters are stored.
class KeepProgressBar final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeepProgressBar)

public:
    static constexpr int kHeight = 3;

    KeepProgressBar(const QString& bookId, QWidget* parent);

    QString bookId() const { return bookId_; }
    int stored() const { return stored_; }
    int total() const { return total_; }
    void setProgress(int stored, int total);

    // A bar for the book along the bottom edge of cover (a widget of width × height) when the
    // book is being kept; nothing otherwise.
    static KeepProgressBar* addTo(QWidget* cover, const QString& bookId);
    // Keeps every bar under root up to date with the keeper: new progress fills it, the end
    // of the download (or its cancel) takes it away.
    static void follow(QWidget* root);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString bookId_;
    int stored_ = 0;
    int total_ = 0;
};
