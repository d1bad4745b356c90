#pragma once

// The program's own message and question windows as a user sees them.

#include "core/MessageDialog.h"

#include <QApplication>
#include <QImage>
#include <QList>
#include <QStyle>
#include <QWidget>

namespace qelt::test {

// The message and question windows showing now.
inline QList<frmInfo *> ShownDialogs()
{
    QList<frmInfo *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *d = qobject_cast<frmInfo *>(w); d && d->isVisible())
            found << d;
    }
    return found;
}

// The style's own picture of kind, in the size and format of shown, so that a
// dialog's picture can be compared with it.
inline QImage StylePicture(QStyle::StandardPixmap kind, const QImage &shown)
{
    return QApplication::style()
        ->standardIcon(kind)
        .pixmap(shown.size() / shown.devicePixelRatio())
        .toImage()
        .convertToFormat(shown.format());
}

} // namespace qelt::test
