#include "logic/MacroListing.h"

#include "logic/Lang.h"

#include <QLocale>

namespace qelt {

QString MacroListingText(const QString &path, const MacroRows &rows, const QString &totalRuntime,
                         const QDateTime &printedAt)
{
    const QString tab = QStringLiteral("\t");
    const QString crlf = QStringLiteral("\r\n");
    const int slash =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const QString name = path.mid(slash + 1);

    QString text;
    text += crlf;
    text += QStringLiteral("   ") + name + crlf;
    text += tab.repeated(8) + QStringLiteral("Total") + crlf;
    text += tab + QStringLiteral("Cnt") + tab + QStringLiteral("HC") + tab + QStringLiteral("UC") +
            tab + QStringLiteral("Act.") + tab + tab + QStringLiteral("Pause") + tab + tab +
            QStringLiteral("Pause") + crlf;
    text += tab + QString(61, QLatin1Char('=')) + crlf;
    for (const MacroRow &row : rows) {
        QString n = row[ColRowNum];
        QString h = row[ColHouse];
        QString u = row[ColUnit];
        QString a = row[ColAction];
        if (h.size() < 2)
            h += QStringLiteral("  ");
        if (u.size() < 2)
            u += QLatin1Char(' ');
        if (u.size() < 3)
            u += QLatin1Char(' ');
        if (a.size() < 3)
            a += QLatin1Char(' ');
        if (n.size() < 2)
            n += QLatin1Char(' ');
        if (n.size() < 3)
            n.prepend(QLatin1Char(' '));
        text += tab + n + tab + h + tab + u + tab + a + tab + tab + row[ColPause] + tab + tab +
                row[ColRunning] + crlf + crlf;
    }
    text += crlf + tab + path + crlf;
    text += QStringLiteral("   ") + LangCap(QStringLiteral("Total Runtime")) +
            QStringLiteral(" =  ") + totalRuntime + crlf + crlf;
    text += tab +
            QStringLiteral("If Action = ALN (All Lights On), ALF (All Lights Off), or AUF (All "
                           "Units Off) ") +
            crlf;
    text += tab + QStringLiteral("then the Unit Code must = 'ALL'.") + crlf + crlf;
    text +=
        tab +
        QStringLiteral("If Action = DIM (Dim) or BRI (Bright), then the Unit Code must = 'PRE'.") +
        crlf + crlf;
    text += tab +
            LangCap(QStringLiteral(
                "Note:  Pause time is the time to wait before the NEXT command will execute!")) +
            crlf;
    text += crlf + QStringLiteral("  ") + LangCap(QStringLiteral("Printed on")) +
            QStringLiteral(" ") +
            QLocale::system().toString(printedAt.date(), QLocale::ShortFormat) +
            QStringLiteral(" at ") + printedAt.toString(QStringLiteral("hh:mm"));
    return text;
}

} // namespace qelt
