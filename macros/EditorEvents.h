#pragma once

#include "core/FileDrops.h"

#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QObject>
#include <QStringList>
#include <QUrl>

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

// Takes files dragged from the file manager: a drag that carries files and
// may be copied is accepted as a copy, and on the drop `onDrop` gets the
// local files among them. True where the event was such a drag or drop, or
// a drag of files refused (the caller swallows it).
inline bool HandleFileDrop(QEvent *event, const std::function<void(const QStringList &)> &onDrop)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (!drag->mimeData()->hasUrls())
            return false;
        AcceptDropAsCopy(drag);
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!AcceptDropAsCopy(drop))
            return true;
        QStringList files;
        for (const QUrl &url : drop->mimeData()->urls())
            if (url.isLocalFile())
                files << url.toLocalFile();
        onDrop(files);
        return true;
    }
    default:
        return false;
    }
}

} // namespace qelt
