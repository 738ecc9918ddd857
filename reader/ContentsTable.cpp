#include "reader/ContentsTable.h"

#include <QAbstractItemDelegate>
#include <QListWidget>

#include "app/tooles.h"

QListWidget* ContentsTable::create(QWidget* parent, const QString& objectName,
                                   QAbstractItemDelegate* cell, const QRect& geometry) {
    auto* table = new QListWidget(parent);
    table->setObjectName(objectName);
    cell->setParent(table);
    table->setItemDelegate(cell);
    table->setFrameShape(QFrame::NoFrame);
    table->setStyleSheet(QStringLiteral(
        "QListWidget, QListWidget > QWidget { background: transparent; border: none; }"));
    table->viewport()->setAutoFillBackground(false);
    QPalette palette = table->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Window, Qt::transparent);
    table->setPalette(palette);
    tooles::useAppSelectionColor(table);
    // Lists scroll by dragging and by the wheel; no scroll bar stands beside the rows.
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setGeometry(geometry);
    return table;
}
