#pragma once

// Whether the texts of a window are drawn whole and at a readable size: a
// caption may be drawn at most 1 pt below its normal size (the window's, or
// the control's own where it is drawn smaller on purpose), and a caption or
// a status box's text must fit the room its control gives it. Measured with
// the fonts of the platform the test runs on, which differ between the
// offscreen platform and a real X display.

#include "core/EventControls.h"
#include "core/WindowHelpers.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QTextDocument>
#include <QWidget>

#include <algorithm>

namespace qelt::test {

// The caption of a button, text label or group box, without its access-key
// marks; "" for other controls and for pictures.
inline QString CaptionText(QWidget *w)
{
    QString text;
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        text = b->text();
    else if (auto *l = qobject_cast<QLabel *>(w); l && l->pixmap().isNull())
        text = l->text();
    else if (auto *g = qobject_cast<QGroupBox *>(w))
        text = g->title();
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(1), QLatin1Char('&'));
    return text.trimmed();
}

// How much more room (in pixels, across or down) w's text needs than w
// gives it; 0 when it fits or is not measured (group box titles, tool
// buttons, rich text, the program's own cut status lines).
inline int MissingRoom(QWidget *w)
{
    const QStyle *st = w->style();
    if (auto *edit = qobject_cast<QPlainTextEdit *>(w)) {
        // Wrapped at the box's width, every line shows without scrolling.
        const qreal margin = edit->document()->documentMargin();
        const QRect room = edit->viewport()->rect();
        QTextDocument doc;
        doc.setDefaultFont(edit->font());
        doc.setDocumentMargin(margin);
        doc.setTextWidth(room.width());
        QString text = edit->toPlainText();
        while (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        doc.setPlainText(text);
        return std::max(0, int(doc.size().height()) - room.height());
    }
    const QString text = CaptionText(w);
    if (text.isEmpty())
        return 0;
    const QFontMetrics fm(w->font());
    int room = -1;
    if (auto *l = qobject_cast<QLabel *>(w)) {
        if (l->textFormat() == Qt::RichText || dynamic_cast<StatusLabel *>(l))
            return 0;
        if (l->wordWrap())
            return std::max(0, l->heightForWidth(l->width()) - l->height());
        const QRect inside =
            l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        const QString shown =
            qobject_cast<EventLabel *>(l) ? static_cast<EventLabel *>(l)->shownText() : text;
        const QStringList lines = shown.split(QLatin1Char('\n'));
        int wide = 0;
        for (const QString &line : lines)
            wide = std::max(wide, fm.horizontalAdvance(line));
        // A single line may lose a pixel or two of its line gap, not more.
        const int down = int(lines.size()) * fm.height() - inside.height();
        const int across = wide - (inside.width() - std::max(l->indent(), 0));
        return std::max({0, down > 2 ? down : 0, across});
    }
    if (qobject_cast<QCheckBox *>(w))
        room = w->width() - st->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) -
               st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
    else if (qobject_cast<QRadioButton *>(w))
        room = w->width() - st->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) -
               st->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
    else if (auto *b = qobject_cast<QPushButton *>(w); b && b->icon().isNull())
        room = w->width() - 4; // the button's frame
    if (room < 0)
        return 0;
    return std::max(0, fm.horizontalAdvance(text) - room);
}

// How w and its text are named in a fault.
inline QString Named(QWidget *w, const QString &text)
{
    return QStringLiteral("%1 %2: \"%3\"")
        .arg(QLatin1String(w->window()->metaObject()->className()), w->objectName(), text);
}

// A fault line when w's text is drawn more than 1 pt below its normal size
// (the window's, or w's own where it is drawn smaller on purpose); "" else.
inline QString ShrunkFault(QWidget *w, const QString &text)
{
    const qreal normal = std::min(w->window()->font().pointSizeF(), OwnFont(w).pointSizeF());
    const qreal size = w->font().pointSizeF();
    if (size >= normal - 1)
        return {};
    return QStringLiteral("%1 at %2 pt, normal %3 pt").arg(Named(w, text)).arg(size).arg(normal);
}

// A fault line when w's text does not fit w; "" else.
inline QString CutFault(QWidget *w, const QString &text)
{
    const int missing = MissingRoom(w);
    if (missing == 0)
        return {};
    return QStringLiteral("%1 cut, %2 px short").arg(Named(w, text)).arg(missing);
}

inline QStringList TextFaults(QWidget *w, const QString &text)
{
    QStringList faults = {ShrunkFault(w, text), CutFault(w, text)};
    faults.removeAll(QString());
    return faults;
}

// The captions under window, shown now, that are too small or cut;
// checked counts the captions looked at.
inline QStringList CaptionFaults(QWidget *window, int *checked = nullptr)
{
    QStringList faults;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const QString text = CaptionText(w);
        if (text.isEmpty() || !w->isVisibleTo(window))
            continue;
        if (checked)
            ++*checked;
        faults << TextFaults(w, text);
    }
    return faults;
}

// The same for text boxes whose whole text is meant to show without
// scrolling (status boxes).
inline QStringList BoxFaults(const QList<QPlainTextEdit *> &boxes)
{
    QStringList faults;
    for (QPlainTextEdit *box : boxes)
        faults << TextFaults(box, box->toPlainText().trimmed());
    return faults;
}

} // namespace qelt::test
