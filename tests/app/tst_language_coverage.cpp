// Every text the programs look up in the language file has a German
// translation, and no German caption is shrunk to fit its control.
//
// The texts are listed two ways, since neither alone finds them all: a
// record of every lookup while each window of both programs is created,
// shown and touched by the mouse (this finds the captions a window reads
// from its own controls and the texts it puts together), and a scan of the
// sources for texts written into a lookup call (this finds the messages of
// paths no test walks).

#include "core/WindowHelpers.h"
#include "logic/Globals.h"
#include "logic/Lang.h"
#include "logic/LangRecorder.h"
#include "logic/ProgramFolder.h"
#include "logic/TextCodec.h"
#include "tests/support/CaptionSizes.h"
#include "tests/support/EveryWindow.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestEnv.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTest>

#include <map>
#include <memory>
#include <set>

using namespace qelt;

namespace {

const QString kCaptions = QStringLiteral("Labels & Captions");
const QString kTips = QStringLiteral("t-Tips");

using Lookup = std::pair<QString, QString>; // section, English text

QString SourceDir()
{
    return QStringLiteral(QT_TESTCASE_SOURCEDIR "/..");
}

QString GermanFile()
{
    return SourceDir() + QStringLiteral("/resources/Deutsch.lan");
}

// The source without its comments; string and character literals are kept
// whole (a "//" inside a text is no comment).
QString WithoutComments(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size();) {
        if (s.mid(i, 2) == u"//") {
            const qsizetype end = s.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? s.size() : end;
        } else if (s.mid(i, 2) == u"/*") {
            const qsizetype end = s.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? s.size() : end + 2;
            out += QLatin1Char(' ');
        } else if (s[i] == u'"' || s[i] == u'\'') {
            qsizetype j = i + 1;
            while (j < s.size() && s[j] != s[i])
                j += s[j] == u'\\' ? 2 : 1;
            out += s.mid(i, j + 1 - i);
            i = j + 1;
        } else {
            out += s[i++];
        }
    }
    return out;
}

QString Unescape(const QString &literal)
{
    QString out;
    for (qsizetype i = 0; i < literal.size(); ++i) {
        if (literal[i] != u'\\' || i + 1 == literal.size()) {
            out += literal[i];
            continue;
        }
        const QChar c = literal[++i];
        if (c == u'n')
            out += QLatin1Char('\n');
        else if (c == u'r')
            out += QLatin1Char('\r');
        else if (c == u't')
            out += QLatin1Char('\t');
        else
            out += c;
    }
    return out;
}

// The texts written into the LangCap and LangTip calls of one source: every
// string literal inside the call's parentheses, with literals that follow
// each other with only blanks between joined into one text, as the compiler
// joins them.
void ScanSource(const QString &source, std::set<Lookup> *found)
{
    static const QRegularExpression call(QStringLiteral(R"((?<![\w])Lang(Cap|Tip)\s*\()"));
    const QString s = WithoutComments(source);
    for (auto it = call.globalMatch(s); it.hasNext();) {
        const auto m = it.next();
        const QString &section = m.captured(1) == u"Cap" ? kCaptions : kTips;
        int depth = 1;
        QString text;
        bool inText = false;
        qsizetype afterLast = -1;
        for (qsizetype i = m.capturedEnd(); i < s.size() && depth > 0;) {
            const QChar c = s[i];
            if (c == u'"' || c == u'\'') {
                qsizetype j = i + 1;
                while (j < s.size() && s[j] != c)
                    j += s[j] == u'\\' ? 2 : 1;
                if (c == u'"') {
                    const QString part = Unescape(s.mid(i + 1, j - i - 1));
                    if (inText && s.mid(afterLast, i - afterLast).trimmed().isEmpty()) {
                        text += part;
                    } else {
                        if (inText)
                            found->insert({section, text});
                        text = part;
                        inText = true;
                    }
                    afterLast = j + 1;
                }
                i = j + 1;
                continue;
            }
            if (c == u'(')
                ++depth;
            else if (c == u')')
                --depth;
            ++i;
        }
        if (inText)
            found->insert({section, text});
    }
}

std::set<Lookup> ScanSources()
{
    std::set<Lookup> found;
    for (const char *folder :
         {"logic", "platform", "core", "console", "scheduler", "macros", "prefs", "updater"}) {
        QDirIterator it(SourceDir() + QLatin1Char('/') + QLatin1String(folder),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly))
                ScanSource(QString::fromUtf8(f.readAll()), &found);
        }
    }
    return found;
}

// A text with no two letters side by side (a number, a house letter, a
// sign) reads the same in every language, and so does a web address; two
// controls never on the screen keep their placeholder captions (the timers
// window's mailbox check box and the favourites window's hidden menu item).
bool NeedsTranslation(const QString &text)
{
    static const QRegularExpression word(QStringLiteral(R"(\p{L}\p{L})"));
    return word.match(text).hasMatch() && !text.startsWith(u"https://") && text != u"Check1" &&
           text != u"Sw_View";
}

// The translations of a language file: a window that reads its captions
// back from its controls looks up some of them again, which is no text of
// the program's own.
QSet<QString> Translations(const QString &file)
{
    QSet<QString> values;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return values;
    for (const QString &line : DecodeText(f.readAll()).split(QLatin1Char('\n'))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && !line.startsWith(QLatin1Char(';')))
            values.insert(line.mid(eq + 1).trimmed());
    }
    return values;
}

// The looked-up texts that file does not translate, as "[section] text"
// (the text as the lookup matches it, without blanks around it).
QStringList Untranslated(const std::set<Lookup> &lookups, const QString &file)
{
    const QSet<QString> translations = Translations(file);
    QStringList missing;
    for (const auto &[section, text] : lookups) {
        const QString key = text.trimmed();
        if (NeedsTranslation(key) && !translations.contains(key) &&
            ReadINI(section, key, QString(), file).isEmpty())
            missing << QStringLiteral("[%1] %2").arg(section, key);
    }
    missing.removeDuplicates();
    return missing;
}

// The mouse enters and moves over every control under window, which is
// when the controls look up their tool tips.
void TouchEveryControl(QWidget *window)
{
    QList<QWidget *> all = window->findChildren<QWidget *>();
    all.prepend(window);
    for (QWidget *w : all) {
        const QPointF at(1, 1);
        QEnterEvent enter(at, at, w->mapToGlobal(at));
        QApplication::sendEvent(w, &enter);
        QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }
}

} // namespace

class LanguageCoverageTest : public QObject {
    Q_OBJECT

private:
    test::ScriptedDialogs dialogs;
    std::set<Lookup> recorded;
    // Captions drawn more than 1 pt below their normal size.
    QStringList shrunk;
    int captionsChecked = 0;

    // Only the sizes: the offscreen platform's fonts are not those of a
    // desktop, where the desktop tests measure whether the texts fit.
    void checkFonts(QWidget *window)
    {
        for (QWidget *w : window->findChildren<QWidget *>()) {
            const QString text = test::CaptionText(w);
            if (text.isEmpty() || !w->isVisibleTo(window))
                continue;
            ++captionsChecked;
            if (const QString fault = test::ShrunkFault(w, text); !fault.isEmpty())
                shrunk << fault;
        }
    }

    // Touches and checks every window that is open now.
    void visitOpenWindows()
    {
        QCoreApplication::processEvents();
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (!top->isVisible())
                continue;
            for (QTabWidget *tabs : top->findChildren<QTabWidget *>()) {
                for (int i = 0; i < tabs->count(); ++i) {
                    tabs->setCurrentIndex(i);
                    TouchEveryControl(top);
                    checkFonts(top);
                }
            }
            TouchEveryControl(top);
            checkFonts(top);
        }
    }

private slots:
    // Opens every window of both programs in German, recording each lookup.
    void initTestCase()
    {
        QVERIFY(QFile::exists(GermanFile()));
        LangFile = GermanFile();
        SetLangLookupRecorder([this](const QString &section, const QString &text) {
            recorded.insert({section, text});
        });

        test::OpenEveryWindow(SourceDir(), [this] { visitOpenWindows(); });
        SetLangLookupRecorder({});
    }

    void cleanupTestCase() { test::EndEveryWindow(); }

    void everyLookedUpTextIsTranslated()
    {
        QVERIFY2(recorded.size() > 200, qPrintable(QString::number(recorded.size())));
        std::set<Lookup> all = recorded;
        const std::set<Lookup> scanned = ScanSources();
        QVERIFY2(scanned.size() > 200, qPrintable(QString::number(scanned.size())));
        all.insert(scanned.begin(), scanned.end());
        const QStringList missing = Untranslated(all, GermanFile());
        for (const QString &text : missing)
            qWarning().noquote() << "resources/Deutsch.lan lacks" << text;
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("resources/Deutsch.lan has no entry for the %1 text(s) "
                                           "listed above, each under its section name")
                                .arg(missing.size())));
    }

    // The check names a caption and a tool tip whose entries are gone, each
    // in its own section, and a help window caption no lookup call in the
    // sources spells out.
    void checkFindsARemovedEntry()
    {
        QFile german(GermanFile());
        QVERIFY(german.open(QIODevice::ReadOnly));
        QByteArray bytes = german.readAll();
        QStringList entries = {QStringLiteral("&Timers="), QStringLiteral("Close Program="),
                               QStringLiteral("Com Port Setup=")};
        for (const QString &entry : entries) {
            const QByteArray key = "\n" + entry.toUtf8();
            const qsizetype at = bytes.indexOf(key);
            QVERIFY2(at >= 0, qPrintable(entry));
            bytes.remove(at + 1, bytes.indexOf('\n', at + 1) - at);
        }
        const QString cut = test::TestEnv::ScratchPath(QStringLiteral("cut.lan"));
        QFile out(cut);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        QCOMPARE(Untranslated(recorded, cut),
                 (QStringList{"[Labels & Captions] &Timers", "[Labels & Captions] Com Port Setup",
                              "[t-Tips] Close Program"}));
    }

    void noCaptionIsShrunk()
    {
        QVERIFY(captionsChecked > 300);
        shrunk.removeDuplicates();
        QVERIFY2(shrunk.isEmpty(), qPrintable(shrunk.join(QLatin1Char('\n'))));
    }
};

QELT_TEST_MAIN(LanguageCoverageTest)
#include "tst_language_coverage.moc"
