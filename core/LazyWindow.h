#pragma once

#include <QCoreApplication>
#include <QObject>

namespace qelt {

// The one window of type W, kept in `slot`: created on its first reference
// and deleted when the application is about to quit. By then the event loop
// has returned, so no handler of the window can still be waiting in a nested
// wait; the slot is cleared so that later references see no window.
template <class W> W *LazyWindow(W *&slot)
{
    if (!slot) {
        slot = new W;
        if (QCoreApplication *app = QCoreApplication::instance()) {
            QObject::connect(app, &QCoreApplication::aboutToQuit, [&slot] {
                delete slot;
                slot = nullptr;
            });
        }
    }
    return slot;
}

} // namespace qelt
