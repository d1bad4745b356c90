#pragma once

#include "logic/Lang.h"

#include <QLabel>
#include <QPushButton>
#include <QString>

// The editor's controls carry the names its handlers and tests find them by.
namespace qelt {

// A push button with the translated caption.
inline QPushButton *NamedButton(QWidget *parent, const char *name, const char *caption)
{
    auto *b = new QPushButton(LangCap(QString::fromUtf8(caption)), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

inline QLabel *NamedLabel(QWidget *parent, const char *name, const QString &caption = {})
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace qelt
