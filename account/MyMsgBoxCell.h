#pragma once

#include <QVariantMap>
#include <QWidget>

class QLabel;

// A row of the message box: the unread dot at the left, the title and the beginning of the
// content, each on one line cut at the end. Unread rows draw their texts dark, read rows in
// the paper's brown-grey.
class MyMsgBoxCell final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MyMsgBoxCell)

public:
    static constexpr int kRowHeight = 55;
    static constexpr int kTextWidth = 260;
    static constexpr int kNarrowTextWidth = 220;

    explicit MyMsgBoxCell(QWidget* parent = nullptr);
    ~MyMsgBoxCell() override;

    // Fills the row from a message of the service (title, content, status).
    void setMessage(const QVariantMap& message);
    // Unread: the dot and the dark texts; read: neither.
    void setUnread(bool unread);
    bool isUnread() const { return unread_; }
    // While the row shows its delete button, the texts make room for it: 220 points wide at
    // most, and never reaching past roomRight (in the cell's coordinates).
    void setNarrowed(bool narrowed, int roomRight = 1 << 20);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    QLabel* leftIcon() const { return leftIcon_; }
    QLabel* title() const { return title_; }
    QLabel* contentIntro() const { return contentIntro_; }

    static QColor unreadColor();
    static QColor readColor();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layoutParts();
    void elide();

    QLabel* leftIcon_;
    QLabel* title_;
    QLabel* contentIntro_;
    QString titleText_;
    QString introText_;
    bool unread_ = false;
    bool narrowed_ = false;
    int roomRight_ = 1 << 20;
    int tag_ = 0;
};
