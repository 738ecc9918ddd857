#pragma once

#include <QWidget>

class QLabel;

// A row of the source-site list: the mark of the current site, "book【site】" and the author.
class SourceSiteCell final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SourceSiteCell)

public:
    static constexpr int kHeight = 60;

    explicit SourceSiteCell(QWidget* parent = nullptr);
    ~SourceSiteCell() override;

    // public_Select_yes for the current site, public_Select_no otherwise.
    void setSelectedSite(bool selected);
    bool isSelectedSite() const { return selected_; }
    QLabel* leftIcon() const { return leftIcon_; }
    QLabel* labelTitle() const { return labelTitle_; }
    QLabel* labelAuthor() const { return labelAuthor_; }

private:
    QLabel* leftIcon_;
    QLabel* labelTitle_;
    QLabel* labelAuthor_;
    bool selected_ = false;
};
