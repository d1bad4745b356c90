#include "scheduler/TimerLogPrint.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qelt;

TEST(TimerLogFile, PrintsToPdf)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("log.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    PrintTimerLog(printer, "Timer 1 : (a.cro)\r\n\t: Started",
                  QDateTime(QDate(2026, 3, 1), QTime(7, 5)));
    const QByteArray bytes = [&] {
        QFile f(pdf);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_GT(bytes.size(), 100);
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
}
