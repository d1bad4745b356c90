#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QList>
#include <QMimeData>
#include <QStringList>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <utility>

namespace qelt::test {

// What a drop target answered to one step of a drag: whether it took the
// step and with which action (the one the dragging program is told).
struct DragAnswer {
    bool accepted = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

// The answers to a drag that enters, moves and is let go.
struct DragAnswers {
    DragAnswer enter, move, drop;
};

namespace detail {

// A drag event as the dragging program sends it: it offers `offered` and
// proposes `proposed` (what a file manager proposes from the keys held).
template <class Event> struct Proposed : Event {
    template <class... Args>
    Proposed(Qt::DropAction proposed, Args &&...args) : Event(std::forward<Args>(args)...)
    {
        this->m_defaultAction = this->m_dropAction = proposed;
    }
};

inline DragAnswer Answer(const QDropEvent &e)
{
    return {e.isAccepted(), e.dropAction()};
}

} // namespace detail

// Drags data onto target as the mouse does: the drag enters at its centre,
// moves within it and is let go there. As the toolkit does, the move starts
// from what the target answered on entering, the drop starts again from the
// proposal, and a drag that is refused on the way leaves the target.
inline DragAnswers Drag(QWidget *target, const QMimeData &data, Qt::DropActions offered,
                        Qt::DropAction proposed)
{
    const QPoint at = target->rect().center();
    DragAnswers answers;
    detail::Proposed<QDragEnterEvent> enter(proposed, at, offered, &data, Qt::LeftButton,
                                            Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    answers.enter = detail::Answer(enter);
    if (!answers.enter.accepted)
        return answers;
    detail::Proposed<QDragMoveEvent> move(proposed, at + QPoint(1, 1), offered, &data,
                                          Qt::LeftButton, Qt::NoModifier);
    move.setDropAction(enter.dropAction());
    move.accept();
    QApplication::sendEvent(target, &move);
    answers.move = detail::Answer(move);
    if (!answers.move.accepted) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(target, &leave);
        return answers;
    }
    detail::Proposed<QDropEvent> drop(proposed, QPointF(at), offered, &data, Qt::LeftButton,
                                      Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    answers.drop = detail::Answer(drop);
    return answers;
}

// Drags local files onto target (see Drag).
inline DragAnswers DragFiles(QWidget *target, const QStringList &paths,
                             Qt::DropActions offered = Qt::CopyAction,
                             Qt::DropAction proposed = Qt::CopyAction)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    QMimeData data;
    data.setUrls(urls);
    return Drag(target, data, offered, proposed);
}

// The drags every drop target is tried with, as the columns "offered",
// "proposed" and "taken" (whether the target is to take the drag).
inline void AddDragRows()
{
    QTest::addColumn<Qt::DropActions>("offered");
    QTest::addColumn<Qt::DropAction>("proposed");
    QTest::addColumn<bool>("taken");
    QTest::newRow("copy or move offered, move proposed")
        << (Qt::CopyAction | Qt::MoveAction) << Qt::MoveAction << true;
    QTest::newRow("copy, move or link offered, link proposed")
        << (Qt::CopyAction | Qt::MoveAction | Qt::LinkAction) << Qt::LinkAction << true;
    QTest::newRow("only copy offered") << Qt::DropActions(Qt::CopyAction) << Qt::CopyAction << true;
    QTest::newRow("only move offered")
        << Qt::DropActions(Qt::MoveAction) << Qt::MoveAction << false;
}

// Checks the answers to such a drag: Copy at every step where the drag is
// taken, a refusal as it enters where it is not (and so no drop).
inline void CheckCopyAnswers(const DragAnswers &a, bool taken)
{
    if (!taken) {
        QVERIFY(!a.enter.accepted);
        QVERIFY(!a.drop.accepted);
        return;
    }
    for (const DragAnswer &step : {a.enter, a.move, a.drop}) {
        QVERIFY(step.accepted);
        QCOMPARE(step.action, Qt::CopyAction);
    }
}

// Drags files onto target with the offer and proposal of the current row
// of AddDragRows, and checks the answers.
inline void DragFilesOfRow(QWidget *target, const QStringList &paths)
{
    QFETCH(Qt::DropActions, offered);
    QFETCH(Qt::DropAction, proposed);
    QFETCH(bool, taken);
    CheckCopyAnswers(DragFiles(target, paths, offered, proposed), taken);
}

// Drops local files on target, the drag offering and proposing Copy. True
// when the drop was taken.
inline bool DropFiles(QWidget *target, const QStringList &paths)
{
    return DragFiles(target, paths).drop.accepted;
}

} // namespace qelt::test
