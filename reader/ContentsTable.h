#pragma once

#include <QRect>
#include <QString>

class QAbstractItemDelegate;
class QListWidget;
class QWidget;

// The list of a contents pane (chapters, bookmarks): frameless, see-through over the pane's
// background, no horizontal scrolling, rows drawn by the given cell.
class ContentsTable final {
public:
    ContentsTable() = delete;

    // The list is parent's child, placed at geometry; it owns the cell.
    static QListWidget* create(QWidget* parent, const QString& objectName,
                               QAbstractItemDelegate* cell, const QRect& geometry);
};
