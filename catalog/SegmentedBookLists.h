#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class BookListPanel;
class NoticeView;
class SVSegmentedControl;
class ViewController;

// Two lists of books of one endpoint on a tab, chosen with a segmented control above them:
// the recommendations ("daily" / "popular") and the rankings ("read" / "favouite"). Each
// segment keeps its own list, page counter, request and pull state, so an answer always goes
// to the segment that asked for it, and switching back shows what was loaded without a
// request. A segment is asked for its first page the first time it is shown.
class SegmentedBookLists final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SegmentedBookLists)

public:
    // key: the parameter that names the list; values: its value for each segment.
    SegmentedBookLists(ViewController* screen, const QStringList& titles, const QString& endpoint,
                       const QString& key, const QStringList& values, NoticeView* notice);
    ~SegmentedBookLists() override;

    SVSegmentedControl* segmentedControl() const;
    BookListPanel* panel(int index) const;
    BookListPanel* shownPanel() const { return panel(currentIndex_); }
    int currentIndex() const { return currentIndex_; }

    // Shows the segment, asking for its first page when it has none yet.
    void segmentedControlChangedValue(int index);

private:
    QPointer<SVSegmentedControl> segmentedControl_;
    QList<BookListPanel*> panels_;
    int currentIndex_ = 0;
};
