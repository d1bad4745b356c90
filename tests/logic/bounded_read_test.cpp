#include "logic/BoundedRead.h"

#include "logic/ErrorLog.h"
#include "logic/FileHelpers.h"
#include "logic/Lang.h"
#include "logic/ProgramFolder.h"
#include "tests/support/Bounds.h"
#include "tests/support/FileBytes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace qelt;
using test::ReadBytes;
using test::WriteBytes;

namespace {

// Files that must never be read whole: a FIFO (a read would wait for a
// writer for ever), a link to an endless device, a folder, and a file past
// the limit (sparse, so the test costs no disk).
struct Hostile {
    const char *name;
    QString path;
};

QList<Hostile> MakeHostileFiles()
{
    QList<Hostile> files;
    const QString fifo = InProgramFolder(QStringLiteral("fifo.cro"));
    QFile::remove(fifo);
    EXPECT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    files.append({"fifo", fifo});
    const QString zero = InProgramFolder(QStringLiteral("zero.cro"));
    QFile::remove(zero);
    EXPECT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    files.append({"link to /dev/zero", zero});
    const QString huge = InProgramFolder(QStringLiteral("huge.cro"));
    QFile f(huge);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(kMaxWholeFileBytes + 1));
    f.close();
    files.append({"past the limit", huge});
    files.append({"folder", ProgramFolder()});
    return files;
}

} // namespace

TEST(BoundedRead, RegularFilesUpToTheLimitAreReadWhole)
{
    const QString path = InProgramFolder(QStringLiteral("plain.txt"));
    for (const QByteArray &bytes : {QByteArray(), QByteArray("a\r\nb"), QByteArray(100000, 'x')}) {
        ASSERT_TRUE(WriteBytes(path, bytes));
        QByteArray got("stale");
        EXPECT_TRUE(ReadFileWhole(path, 100000, &got)) << bytes.size();
        EXPECT_EQ(got, bytes);
    }
    // One byte past the limit is refused.
    ASSERT_TRUE(WriteBytes(path, QByteArray(100001, 'x')));
    QByteArray got;
    QString error;
    EXPECT_FALSE(ReadFileWhole(path, 100000, &got, &error));
    EXPECT_TRUE(got.isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("larger"))) << error.toStdString();
    // A link to a regular file is read.
    const QString link = InProgramFolder(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(path, link));
    EXPECT_TRUE(ReadFileWhole(link, 200000, &got));
    EXPECT_EQ(got.size(), 100001);
    EXPECT_FALSE(ReadFileWhole(InProgramFolder(QStringLiteral("missing")), 10, &got));
}

TEST(BoundedRead, HostileFilesAreRefusedAtOnce)
{
    for (const Hostile &h : MakeHostileFiles()) {
        QElapsedTimer t;
        t.start();
        QByteArray got;
        QString error;
        EXPECT_FALSE(ReadFileWhole(h.path, kMaxWholeFileBytes, &got, &error)) << h.name;
        EXPECT_FALSE(error.isEmpty()) << h.name;
        EXPECT_TRUE(got.isEmpty()) << h.name;
        EXPECT_LT(t.elapsed(), test::kAtOnceMs) << h.name;

        // The whole-file text reader refuses them too, and says so in the
        // error log; a folder was refused before.
        QFile::remove(ErrorLogPath());
        bool ok = true;
        EXPECT_TRUE(LoadTextFile(h.path, &ok).isEmpty()) << h.name;
        EXPECT_FALSE(ok) << h.name;
        if (QByteArray(h.name) != "folder") {
            EXPECT_NE(ReadBytes(ErrorLogPath()), QByteArray("<missing>")) << h.name;
        }
        // Nor is such a file copied (backups, the language switch).
        const QString copy = InProgramFolder(QStringLiteral("copy.cro"));
        EXPECT_FALSE(CopyFileAtomic(h.path, copy)) << h.name;
        EXPECT_FALSE(QFileInfo::exists(copy)) << h.name;
        // A language file that is none gives the built-in texts.
        EXPECT_EQ(ReadINI(QStringLiteral("Labels & Captions"), QStringLiteral("&Close"),
                          QStringLiteral("fallback"), h.path),
                  QStringLiteral("fallback"))
            << h.name;
    }
}

TEST(BoundedRead, PiecesAreSplitAtCrLfOnly)
{
    const QString path = InProgramFolder(QStringLiteral("pieces.log"));
    // A CR LF pair split across the reader's 64 KiB chunks, a lone LF and a
    // lone CR stay inside their pieces.
    const QByteArray longPiece(64 * 1024 - 1, 'p');
    const struct {
        QByteArray bytes;
        QList<QByteArray> pieces;
    } cases[] = {
        {"", {""}},
        {"a\r\nb\r\n", {"a", "b", ""}},
        {"a\nb\rc\r\nd", {"a\nb\rc", "d"}},
        {longPiece + "\r\nz", {longPiece, "z"}},
        {"\r\n\r\n", {"", "", ""}},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        CrLfPieceReader reader;
        ASSERT_TRUE(reader.open(path));
        QList<QByteArray> got;
        QByteArray piece;
        bool last = false;
        QList<bool> lasts;
        while (reader.next(&piece, &last)) {
            got << piece;
            lasts << last;
        }
        EXPECT_FALSE(reader.failed());
        EXPECT_EQ(got, c.pieces) << c.bytes.left(20).toStdString();
        EXPECT_EQ(lasts.count(true), 1);
        EXPECT_TRUE(lasts.last());
    }
    for (const Hostile &h : MakeHostileFiles()) {
        if (QByteArray(h.name) == "past the limit")
            continue; // streamed files have no size limit
        CrLfPieceReader reader;
        EXPECT_FALSE(reader.open(h.path)) << h.name;
    }
}
