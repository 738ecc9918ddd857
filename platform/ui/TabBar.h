#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QWidget>

#include "platform/ui/ViewController.h"

// The 49-point bar of tab items: each item's image above its title, the selected item on the
// selection indicator image, over the bar's background pattern.
class TabBar final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabBar)

public:
    explicit TabBar(QWidget* parent = nullptr);
    ~TabBar() override;

    void setItems(const QList<TabBarItem>& items);
    QList<TabBarItem> items() const { return items_; }
    void setSelectedIndex(int index);
    int selectedIndex() const { return selected_; }
    void setBackgroundImageNamed(const QString& name);
    void setSelectionIndicatorImageNamed(const QString& name);
    void setTintColor(const QColor& color);
    QRect itemRect(int index) const;

Q_SIGNALS:
    void itemClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QList<TabBarItem> items_;
    QList<QPixmap> images_;
    int selected_ = -1;
    QPixmap background_;
    QPixmap indicator_;
    QColor tint_ = Qt::white;
};
