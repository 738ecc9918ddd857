#pragma once

#include <QWidget>

#include "storage/MyBookList.h"

class EGOImageButton;
class QLabel;

// The row of every book list: the cover at the left (a remote-image button) and three lines
// of text beside it — the book's name, its author and a third line (its category, or in
// search results the site it was found on). 73 points high. A list puts one in each row of
// its table (QTableWidget::setCellWidget); the row shows the table's own selection highlight.
class RecommendCell final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecommendCell)

public:
    static constexpr int kRowHeight = 73;
    static constexpr int kCoverWidth = 48;
    static constexpr int kCoverHeight = 62;
    static constexpr char kReuseIdentifier[] = "_ContentCELL";

    // What the third line shows.
    enum class ThirdLine {
        Category,  // "分类: %@" with the book's category name
        SourceSite // "来源站点: %@" with the source site's name, or "未知"
    };

    explicit RecommendCell(QWidget* parent = nullptr);
    ~RecommendCell() override;

    // Fills the row from a book: the three texts and the cover (the placeholder
    // books_nobook, then the image at myCover; the placeholder alone, with any pending load
    // cancelled, when myCover is empty). The row's tag becomes the book's id.
    void setBook(const MyBookList& book, ThirdLine thirdLine = ThirdLine::Category);

    // The row's tag: the book's id as an integer.
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    // The cover's tag: the index of the row in its list, sent with coverTapped.
    int coverTag() const { return coverTag_; }
    void setCoverTag(int index) { coverTag_ = index; }

    EGOImageButton* imagePhoto() const { return imagePhoto_; }
    QLabel* bookNameLabel() const { return bookNameLabel_; }
    QLabel* authorNameLabel() const { return authorNameLabel_; }
    QLabel* categoryLabel() const { return categoryLabel_; }

    // The texts a book gives its second and third lines.
    static QString authorText(const MyBookList& book);
    static QString thirdLineText(const MyBookList& book, ThirdLine thirdLine);

signals:
    // The cover was tapped; index is the cover's tag.
    void coverTapped(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layoutParts();
    void elideName();

    EGOImageButton* imagePhoto_;
    QLabel* bookNameLabel_;
    QLabel* authorNameLabel_;
    QLabel* categoryLabel_;
    QString name_;
    int tag_ = 0;
    int coverTag_ = 0;
};
