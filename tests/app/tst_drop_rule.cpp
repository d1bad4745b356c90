// Every widget of both programs that takes drops, found as the windows are
// opened (so a field added later is among them, and so is one on a panel
// that is not shown yet), answers a drag from another
// program that offers Copy or Move and proposes Move (Shift held, as in a
// file manager) with Copy or a refusal, never Move or Link: a file and a
// plain text, as they enter, move and are let go. A file lands only on the
// windows' own file targets, which still take it as a copy; plain text is
// still inserted into a text field.

#include "core/FileDrops.h"
#include "tests/support/DropFiles.h"
#include "tests/support/EveryWindow.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextEdit>
#include <QUrl>

using namespace qelt;

namespace {

const QString kText = QStringLiteral("lamp");
const Qt::DropActions kCopyOrMove = Qt::CopyAction | Qt::MoveAction;

QString SourceDir()
{
    return QStringLiteral(QT_TESTCASE_SOURCEDIR "/..");
}

// The name a widget goes by in a fault: its window's and its own (a scroll
// area's viewport by its area's).
QString Name(const QWidget *w)
{
    const QWidget *named = w;
    while (named->parentWidget() &&
           (named->objectName().isEmpty() || named->objectName().startsWith(u"qt_")))
        named = named->parentWidget();
    return w->window()->objectName() + QLatin1Char('/') + named->objectName() + QLatin1Char(' ') +
           QLatin1String(w->metaObject()->className());
}

// The help window's page: a drag over it goes on to the web engine, whose
// own bookkeeping of it deletes an object with the wrong type when the page
// is destroyed (the address sanitizer stops the test there). The rule
// reaches the page as every widget; the window's address box is walked.
bool InWebView(const QWidget *w)
{
    for (; w; w = w->parentWidget())
        if (w->inherits("QWebEngineView"))
            return true;
    return false;
}

// What the text fields of every window hold.
QHash<const QWidget *, QString> FieldTexts()
{
    QHash<const QWidget *, QString> texts;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        for (const QLineEdit *e : top->findChildren<QLineEdit *>())
            texts.insert(e, e->text());
        for (const QTextEdit *e : top->findChildren<QTextEdit *>())
            texts.insert(e, e->toPlainText());
        for (const QPlainTextEdit *e : top->findChildren<QPlainTextEdit *>())
            texts.insert(e, e->toPlainText());
    }
    return texts;
}

// The text field whose drop target w is, and what it holds; null where w
// is none.
const QWidget *TextField(const QWidget *w, QString *text)
{
    if (const auto *e = qobject_cast<const QLineEdit *>(w)) {
        *text = e->text();
        return e;
    }
    const QWidget *area = w->parentWidget();
    if (const auto *e = qobject_cast<const QTextEdit *>(area); e && e->viewport() == w) {
        *text = e->toPlainText();
        return e;
    }
    if (const auto *e = qobject_cast<const QPlainTextEdit *>(area); e && e->viewport() == w) {
        *text = e->toPlainText();
        return e;
    }
    return nullptr;
}

// Whether w is a text field that takes the dragged text whole: editable,
// with room for it, and no rule of its own for what may be typed.
bool TakesText(const QWidget *w)
{
    QString text;
    const QWidget *field = TextField(w, &text);
    if (!field || !field->isEnabled())
        return false;
    if (const auto *e = qobject_cast<const QLineEdit *>(field))
        return !e->isReadOnly() && !e->validator() && e->inputMask().isEmpty() &&
               e->maxLength() - text.size() >= kText.size();
    if (const auto *e = qobject_cast<const QTextEdit *>(field))
        return !e->isReadOnly();
    return !static_cast<const QPlainTextEdit *>(field)->isReadOnly();
}

} // namespace

class DropRuleTest : public QObject {
    Q_OBJECT

private:
    test::InstalledDialogs dialogs;
    QString file;
    QSet<QWidget *> visited;
    QStringList visitedNames;
    QStringList faults;
    int filesTaken = 0;
    int textsTaken = 0;

    void fault(const QWidget *w, const QString &what)
    {
        faults << Name(w) + QStringLiteral(": ") + what;
    }

    // An answer the dragging program would act on is Copy or nothing.
    void checkAnswers(const QWidget *w, const QString &drag, const test::DragAnswers &a)
    {
        const std::pair<const char *, test::DragAnswer> steps[] = {
            {"enter", a.enter}, {"move", a.move}, {"drop", a.drop}};
        for (const auto &[step, answer] : steps)
            if (answer.accepted && answer.action != Qt::CopyAction)
                fault(w,
                      QStringLiteral("%1 %2 answered %3")
                          .arg(drag, QLatin1String(step),
                               answer.action == Qt::MoveAction   ? QStringLiteral("Move")
                               : answer.action == Qt::LinkAction ? QStringLiteral("Link")
                                                                 : QString::number(answer.action)));
    }

    void dragOnto(QWidget *w)
    {
        visitedNames << Name(w) + (TakesFileDrops(w) ? QStringLiteral(" [files]") : QString());
        // A file as a file manager's drag brings it: its address, also as text.
        const QUrl url = QUrl::fromLocalFile(file);
        QMimeData files;
        files.setUrls({url});
        files.setText(url.toString());
        const auto before = FieldTexts();
        const test::DragAnswers onFile = test::Drag(w, files, kCopyOrMove, Qt::MoveAction);
        checkAnswers(w, QStringLiteral("file"), onFile);
        if (TakesFileDrops(w)) {
            if (!onFile.drop.accepted)
                fault(w, QStringLiteral("the file target refused the file"));
            ++filesTaken;
        } else {
            if (onFile.enter.accepted)
                fault(w, QStringLiteral("took the file"));
            if (FieldTexts() != before)
                fault(w, QStringLiteral("a field took the file's text"));
        }

        const bool takesText = TakesText(w);
        QMimeData text;
        text.setText(kText);
        const test::DragAnswers onText = test::Drag(w, text, kCopyOrMove, Qt::MoveAction);
        checkAnswers(w, QStringLiteral("text"), onText);
        if (takesText) {
            QString now;
            TextField(w, &now);
            if (!onText.drop.accepted || !now.contains(kText))
                fault(w, QStringLiteral("the text field did not take the text"));
            ++textsTaken;
        }
    }

    // Every widget that takes drops in the windows made so far, each once.
    void visitOpenWindows()
    {
        QCoreApplication::processEvents();
        QList<QPointer<QWidget>> targets;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            QList<QWidget *> all = top->findChildren<QWidget *>();
            all.prepend(top);
            for (QWidget *w : all)
                if (w->acceptDrops() && !visited.contains(w) && !InWebView(w))
                    targets << w;
        }
        for (const QPointer<QWidget> &w : targets) {
            if (!w || visited.contains(w))
                continue;
            visited.insert(w);
            dragOnto(w);
        }
    }

private slots:
    void initTestCase()
    {
        file = test::TestEnv::ScratchPath(QStringLiteral("lamps.txt"));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QVERIFY(test::WriteBytes(file, "lamps"));
    }

    void cleanupTestCase() { test::EndEveryWindow(); }

    void everyDropTargetAnswersCopyOrRefuses()
    {
        test::OpenEveryWindow(SourceDir(), [this] { visitOpenWindows(); });
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        // The walk reached the fields a drag was seen to take a file with,
        // the windows' file targets and the text fields.
        const QString visitedList = visitedNames.join(QLatin1Char('\n'));
        QVERIFY2(visitedList.contains(u"frmFavs/txtMaxVis "), qPrintable(visitedList));
        QVERIFY2(visitedList.contains(u"/txtBcaption "), qPrintable(visitedList));
        QVERIFY2(filesTaken >= 10, qPrintable(visitedList));
        QVERIFY2(textsTaken >= 10, qPrintable(visitedList));
        QCOMPARE(test::ReadBytes(file), QByteArray("lamps"));
    }

    // Each place the programs make their application object installs the
    // rule right after, so that no program (nor one added later) runs
    // without it.
    void everyProgramInstallsTheRule()
    {
        static const QRegularExpression made(
            QStringLiteral(R"(\bQApplication\s+\w+\s*[({][^;]*;\s*(qelt::)?InstallDropRule\(\);)"));
        static const QRegularExpression making(QStringLiteral(R"(\bQApplication\s+\w+\s*[({])"));
        QStringList programs;
        for (const char *folder : {"logic", "platform", "core", "console", "scheduler", "macros",
                                   "prefs", "updater", "app"}) {
            QDirIterator it(SourceDir() + QLatin1Char('/') + QLatin1String(folder),
                            {QStringLiteral("*.cpp")}, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile f(it.next());
                QVERIFY(f.open(QIODevice::ReadOnly));
                const QString source = QString::fromUtf8(f.readAll());
                const qsizetype makes = source.count(making);
                if (makes == 0)
                    continue;
                programs << QDir(SourceDir()).relativeFilePath(f.fileName());
                QVERIFY2(source.count(made) == makes, qPrintable(programs.last()));
            }
        }
        QVERIFY2(programs.contains(u"core/Startup.cpp") &&
                     programs.contains(u"app/update_main.cpp"),
                 qPrintable(programs.join(QLatin1Char(' '))));
    }
};

QELT_TEST_MAIN(DropRuleTest)
#include "tst_drop_rule.moc"
