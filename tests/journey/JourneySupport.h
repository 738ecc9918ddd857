#pragma once

// What the first-use test needs to act as a person would: taps that land where the window
// shows them, typing key by key, and a look at what the service stored.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollArea>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>

#include "engines/SqlDatabase.h"
#include "engines/SqlStatement.h"
#include "platform/ui/NoticeView.h"

namespace journeytest {

inline QString describe(const QWidget* w) {
    if (!w)
        return QStringLiteral("nothing");
    const QString name = w->objectName();
    return QString::fromLatin1(w->metaObject()->className()) +
           (name.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(name));
}

// A finger's tap at `at` in target (its centre by default). The tap goes to whatever the
// window shows at that point, as the platform would deliver it; it fails when the target is
// hidden or something else (an overlay, a sheet, a screen left behind) covers it there.
// A target inside a scrolled area is scrolled into view first, as the user would.
inline ::testing::AssertionResult tap(QWidget* target, std::optional<QPoint> at = std::nullopt) {
    if (!target)
        return ::testing::AssertionFailure() << "no widget to tap";
    for (QWidget* w = target->parentWidget(); w; w = w->parentWidget()) {
        if (auto* scroll = qobject_cast<QScrollArea*>(w))
            scroll->ensureWidgetVisible(target);
    }
    QCoreApplication::processEvents();
    if (!target->isVisible())
        return ::testing::AssertionFailure() << describe(target).toStdString() << " is not shown";
    QWidget* top = target->window();
    const QPoint local = at.value_or(target->rect().center());
    const QPoint inTop = target->mapTo(top, local);
    QWidget* hit = top->childAt(inTop);
    if (!hit)
        hit = top;
    if (hit != target && !target->isAncestorOf(hit))
        return ::testing::AssertionFailure() << describe(target).toStdString() << " is covered by "
                                             << describe(hit).toStdString();
    const QPointF p(hit->mapFrom(top, inTop));
    const QPointF global(top->mapToGlobal(inTop));
    QMouseEvent press(QEvent::MouseButtonPress, p, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(hit, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(hit, &release);
    return ::testing::AssertionSuccess();
}

// The widget is shown and nothing that takes taps lies over any part of it: no later sibling
// of it or of one of its ancestors covers its rectangle.
inline ::testing::AssertionResult uncovered(QWidget* w) {
    if (!w || !w->isVisible())
        return ::testing::AssertionFailure() << describe(w).toStdString() << " is not shown";
    QWidget* top = w->window();
    const QRect area(w->mapTo(top, QPoint(0, 0)), w->size());
    for (QWidget* a = w; a && a != top; a = a->parentWidget()) {
        const QObjectList& siblings = a->parentWidget()->children();
        for (qsizetype i = siblings.indexOf(a) + 1; i < siblings.size(); ++i) {
            auto* s = qobject_cast<QWidget*>(siblings.at(i));
            if (!s || !s->isVisible() || s->isWindow() ||
                s->testAttribute(Qt::WA_TransparentForMouseEvents))
                continue;
            const QRect over(s->mapTo(top, QPoint(0, 0)), s->size());
            if (over.intersects(area))
                return ::testing::AssertionFailure()
                       << describe(w).toStdString() << " lies under " << describe(s).toStdString();
        }
    }
    return ::testing::AssertionSuccess();
}

// Every notice a screen puts up while it lives, and each one that came up under something
// else (a progress overlay, a bar, a screen above its own).
class NoticeWatch final : public QObject {
public:
    NoticeWatch() { QCoreApplication::instance()->installEventFilter(this); }
    QStringList shown;
    QStringList hidden;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* notice = qobject_cast<NoticeView*>(watched)) {
                shown << notice->text();
                if (const ::testing::AssertionResult r = uncovered(notice); !r)
                    hidden << notice->text() + QStringLiteral(": ") +
                                  QString::fromUtf8(r.message());
            }
        }
        return false;
    }
};

// Text typed into the focused field key by key, as a keyboard sends it.
inline void type(QWidget* field, const QString& text) {
    field->setFocus();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(field, &release);
    }
}

// The first column of every row a query gives on the service's own database file.
inline QStringList serviceRows(const QString& file, const QString& sql,
                               const QVariantList& args = {}) {
    SqlDatabase db(file);
    QStringList rows;
    if (!db.open(SqlDatabase::Mode::ExistingOnly))
        return rows;
    SqlStatement statement = db.prepare(sql);
    if (!statement.isValid() || !statement.bind(args))
        return rows;
    while (statement.next())
        rows << statement.text(0);
    return rows;
}

} // namespace journeytest
