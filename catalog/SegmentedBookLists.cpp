#include "catalog/SegmentedBookLists.h"

#include "catalog/BookListPanel.h"
#include "platform/Images.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "widgets/SVSegmentedControl.h"

namespace {
constexpr int kControlTop = 10;
constexpr int kListTop = 50;
} // namespace

SegmentedBookLists::SegmentedBookLists(ViewController* screen, const QStringList& titles,
                                       const QString& endpoint, const QString& key,
                                       const QStringList& values, NoticeView* notice)
    : QObject(screen), segmentedControl_(new SVSegmentedControl(titles, screen)) {
    const QRect bounds = Window::screenBounds();
    // The screen's view: below the status strip and the navigation bar, above the tab bar.
    const int viewHeight = bounds.height() - 20 - 44 - 49;

    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(16);
    segmentedControl_->setObjectName(QStringLiteral("segmentedControl"));
    segmentedControl_->setFont(arial);
    segmentedControl_->setBackgroundImage(Images::named(QStringLiteral("public_Column_tab.png")));
    segmentedControl_->setThumbImage(Images::named(QStringLiteral("public_Column_tab_select.png")));
    segmentedControl_->setHeight(32);
    segmentedControl_->resize(bounds.width() - 30, 32);
    segmentedControl_->move((bounds.width() - segmentedControl_->width()) / 2, kControlTop);
    segmentedControl_->setSelectedIndex(currentIndex_);
    connect(segmentedControl_, &SVSegmentedControl::valueChanged, this,
            &SegmentedBookLists::segmentedControlChangedValue);

    const QRect frame(6, kListTop, bounds.width() - 12, viewHeight - kListTop - 8);
    for (int i = 0; i < values.size(); ++i) {
        auto* panel = new BookListPanel(screen, frame, endpoint);
        panel->table()->setObjectName(QStringLiteral("bookListTable%1").arg(i));
        const QString value = values.at(i);
        panel->setParams([key, value] { return QVariantMap{{key, value}}; });
        panel->setNotice(notice);
        panel->table()->setVisible(i == currentIndex_);
        panels_.append(panel);
    }
}

SegmentedBookLists::~SegmentedBookLists() = default;

SVSegmentedControl* SegmentedBookLists::segmentedControl() const {
    return segmentedControl_;
}

BookListPanel* SegmentedBookLists::panel(int index) const {
    return index >= 0 && index < panels_.size() ? panels_.at(index) : nullptr;
}

void SegmentedBookLists::segmentedControlChangedValue(int index) {
    BookListPanel* shown = panel(index);
    if (!shown)
        return;
    currentIndex_ = index;
    if (segmentedControl_ && segmentedControl_->selectedIndex() != index)
        segmentedControl_->setSelectedIndex(index, true);
    for (int i = 0; i < panels_.size(); ++i)
        panels_.at(i)->table()->setVisible(i == index);
    shown->startFirstLoad();
}
