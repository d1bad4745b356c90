#include "logic/MacroListing.h"

#include "logic/MacroFile.h"
#include "logic/X10Codes.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace qelt;

namespace {

const QDateTime kAt(QDate(2026, 3, 7), QTime(9, 5, 42));

QStringList Lines(const QString &text)
{
    return text.split(QStringLiteral("\r\n"));
}

} // namespace

TEST(MacroListing, OneRowMacroLayout)
{
    MacroRows rows = RowsFromMacroText(QStringLiteral("\"") + CmdToCode("A", "3", "ON") +
                                       QStringLiteral("0005\"\r\n"));
    FixGrid(rows);
    const QString text = MacroListingText(QStringLiteral("/home/u/macros/hall.cro"), rows,
                                          QStringLiteral("5 sec"), kAt);
    const QStringList lines = Lines(text);
    const QStringList head = {
        QString(),
        QStringLiteral("   hall.cro"),
        QStringLiteral("\t\t\t\t\t\t\t\tTotal"),
        QStringLiteral("\tCnt\tHC\tUC\tAct.\t\tPause\t\tPause"),
        QStringLiteral("\t") + QString(61, QLatin1Char('=')),
        QStringLiteral("\t 1 \tA  \t3  \tON \t\t0005\t\t5"),
        QString(),
        QString(),
        QStringLiteral("\t/home/u/macros/hall.cro"),
        QStringLiteral("   Total Runtime =  5 sec"),
        QString(),
        QStringLiteral("\tIf Action = ALN (All Lights On), ALF (All Lights Off), or AUF (All Units "
                       "Off) "),
        QStringLiteral("\tthen the Unit Code must = 'ALL'."),
        QString(),
        QStringLiteral("\tIf Action = DIM (Dim) or BRI (Bright), then the Unit Code must = 'PRE'."),
        QString(),
        QStringLiteral(
            "\tNote:  Pause time is the time to wait before the NEXT command will execute!"),
        QString(),
        QStringLiteral("  Printed on ") +
            QLocale::system().toString(kAt.date(), QLocale::ShortFormat) +
            QStringLiteral(" at 09:05"),
    };
    EXPECT_EQ(lines, head);
    EXPECT_FALSE(text.endsWith(QStringLiteral("\r\n")));
}

TEST(MacroListing, CellPaddingAndUnnamedMacro)
{
    MacroRows rows;
    struct Case {
        const char *n, *h, *u, *a, *expected;
    };
    const Case cases[] = {
        {"12", "P", "PRE", "DIM", "\t 12\tP  \tPRE\tDIM\t\t0002\t\t"},
        {"105", "B", "16", "OFF", "\t105\tB  \t16 \tOFF\t\t0002\t\t"},
        {"", "", "", "", "\t  \t  \t  \t \t\t0002\t\t"},
    };
    for (const Case &c : cases) {
        MacroRow row;
        row[ColRowNum] = QString::fromLatin1(c.n);
        row[ColHouse] = QString::fromLatin1(c.h);
        row[ColUnit] = QString::fromLatin1(c.u);
        row[ColAction] = QString::fromLatin1(c.a);
        row[ColPause] = QStringLiteral("0002");
        rows << row;
    }
    const QStringList lines =
        Lines(MacroListingText(QString(), rows, QStringLiteral("0 sec"), kAt));
    EXPECT_EQ(lines.at(1), QStringLiteral("   "));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lines.at(5 + 2 * i), QString::fromLatin1(cases[i].expected)) << i;
        EXPECT_EQ(lines.at(6 + 2 * i), QString()) << i;
    }
    // The path line after the rows is a TAB alone.
    EXPECT_EQ(lines.at(12), QStringLiteral("\t"));
}
