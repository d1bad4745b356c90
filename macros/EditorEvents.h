#pragma once

#include <QEvent>
#include <QObject>

#include <functional>

namespace qelt {

// Runs `handler` for every event of `target` before the target sees it;
// true from the handler swallows the event. The hook belongs to the target.
// The editor uses it for the mouse-over texts, right-click menus and
// double clicks of controls that have no signal for them.
inline void OnEvent(QObject *target, std::function<bool(QEvent *)> handler)
{
    class Hook : public QObject {
    public:
        Hook(QObject *owner, std::function<bool(QEvent *)> fn) : QObject(owner), m_fn(std::move(fn))
        {
        }
        bool eventFilter(QObject *, QEvent *event) override { return m_fn(event); }

    private:
        std::function<bool(QEvent *)> m_fn;
    };
    target->installEventFilter(new Hook(target, std::move(handler)));
}

} // namespace qelt
