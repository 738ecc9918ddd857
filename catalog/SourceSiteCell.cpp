#include "catalog/SourceSiteCell.h"

#include <QLabel>

#include "platform/Images.h"

SourceSiteCell::SourceSiteCell(QWidget* parent)
    : QWidget(parent), leftIcon_(new QLabel(this)), labelTitle_(new QLabel(this)),
      labelAuthor_(new QLabel(this)) {
    setObjectName(QStringLiteral("sourceSiteList"));
    leftIcon_->setGeometry(12, 20, 20, 20);
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(18);
    title.setBold(true);
    labelTitle_->setFont(title);
    labelTitle_->setGeometry(44, 8, 240, 24);
    QFont author(QStringLiteral("Arial"));
    author.setPixelSize(13);
    labelAuthor_->setFont(author);
    labelAuthor_->setGeometry(44, 34, 240, 18);
    QPalette ink = palette();
    ink.setColor(QPalette::WindowText, QColor(74, 52, 38));
    labelTitle_->setPalette(ink);
    ink.setColor(QPalette::WindowText, QColor(122, 98, 78));
    labelAuthor_->setPalette(ink);
    for (QLabel* l : {leftIcon_, labelTitle_, labelAuthor_})
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    setSelectedSite(false);
}

SourceSiteCell::~SourceSiteCell() = default;

void SourceSiteCell::setSelectedSite(bool selected) {
    selected_ = selected;
    leftIcon_->setPixmap(Images::named(selected ? QStringLiteral("public_Select_yes")
                                                : QStringLiteral("public_Select_no")));
}
