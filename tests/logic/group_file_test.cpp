#include "logic/GroupFile.h"

#include "logic/Globals.h"
#include "logic/ProgramFolder.h"
#include "tests/support/Windows1252.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace qelt;

namespace {

class GroupFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ExePath = ProgramFolder();
        for (int n = 0; n < kGroupCount; ++n)
            QFile::remove(GroupFilePath(ExePath, n));
    }
    static QByteArray Bytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void Write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

const QString kCodeA = QStringLiteral("0110000000000000");
const QString kCodeB = QStringLiteral("0111010000010000");

} // namespace

TEST_F(GroupFileTest, SaveWritesQuotedLinesAndReadsBack)
{
    QStringList codes;
    for (int i = 0; i < 16; ++i)
        codes << (i % 2 ? kCodeA : kCodeB);
    const QString label = QStringLiteral("Thirty characters of a label!!");
    ASSERT_EQ(label.size(), 30);
    ASSERT_TRUE(SaveGroupFile(ExePath, 2, label, codes));

    const QByteArray bytes = Bytes(ExePath + "/file2.grp");
    EXPECT_TRUE(bytes.startsWith("\"Group 3, Thirty characters of a label!!\"\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 17);
    EXPECT_EQ(bytes.size(), 43 + 16 * 20);
    EXPECT_TRUE(bytes.endsWith("\"" + kCodeA.toLatin1() + "\"\r\n"));

    EXPECT_EQ(goGrLabel("g", GroupFilePath(ExePath, 2)), label);
    GroupFileContent content;
    ASSERT_TRUE(ReadGroupFile(GroupFilePath(ExePath, 2), &content));
    EXPECT_TRUE(content.hasHeader);
    EXPECT_EQ(content.codes, codes);
}

TEST_F(GroupFileTest, GetLabelCases)
{
    const QString path = GroupFilePath(ExePath, 0);
    struct Case {
        QByteArray file;
        QString label;
    } cases[] = {
        {"\"Group 1, \"\r\n\"" + kCodeA.toLatin1() + "\"\r\n", ""},
        {"\"Group 1, Porch & Hall\"\r\n", "Porch & Hall"},
        {"\"" + kCodeA.toLatin1() + "\"\r\n\"Group 1, Late\"\r\n", ""},
        {"", ""},
        {"\"Group 1, My \"big\" lamp\"\r\n", "My \"big\" lamp"},
        {"Group 1, unquoted\n", "unquoted"},
    };
    for (const Case &c : cases) {
        Write(path, c.file);
        EXPECT_EQ(goGrLabel("g", path), c.label) << c.file.constData();
    }
    QFile::remove(path);
    EXPECT_EQ(goGrLabel("g", path), QString());
    EXPECT_FALSE(QFile::exists(path)) << "reading a label must not create the file";
}

TEST_F(GroupFileTest, PutLabelKeepsCodesAndAddsMissingHeader)
{
    const QString path = GroupFilePath(ExePath, 4);
    Write(path, "\"" + kCodeA.toLatin1() + "\"\r\n\r\n\"" + kCodeB.toLatin1() + "\"\r\n");
    EXPECT_EQ(goGrLabel("p", path, "Garden"), QStringLiteral("Garden"));
    EXPECT_EQ(Bytes(path), "\"Group 5, Garden\"\r\n\"" + kCodeA.toLatin1() + "\"\r\n\"" +
                               kCodeB.toLatin1() + "\"\r\n");

    EXPECT_EQ(goGrLabel("p", path, ""), QString());
    EXPECT_TRUE(Bytes(path).startsWith("\"Group 5, \"\r\n\"" + kCodeA.toLatin1()));
    EXPECT_EQ(goGrLabel("g", path), QString());
}

TEST_F(GroupFileTest, BadArgumentsChangeNothing)
{
    const QString path = GroupFilePath(ExePath, 1);
    const QByteArray before = "\"Group 2, Old\"\r\n\"" + kCodeA.toLatin1() + "\"\r\n";
    Write(path, before);
    EXPECT_EQ(goGrLabel("x", path, "New"), QString());
    EXPECT_EQ(Bytes(path), before);
    EXPECT_EQ(goGrLabel("p", ExePath + "/file7.grp", "New"), QString());
    EXPECT_FALSE(QFile::exists(ExePath + "/file7.grp"));
    EXPECT_FALSE(SaveGroupFile(ExePath, 8, "x", {}));
    EXPECT_FALSE(SaveGroupFile(ExePath, -1, "x", {}));
}

TEST_F(GroupFileTest, ReadSkipsBlankLinesAndHeadersKeepsOddItems)
{
    const QString path = GroupFilePath(ExePath, 3);
    Write(path, "\r\n\"" + kCodeA.toLatin1() + "\"\r\n   \r\n\"Group 9, stray\"\r\n\"01x\"\r\n");
    GroupFileContent content;
    ASSERT_TRUE(ReadGroupFile(path, &content));
    EXPECT_FALSE(content.hasHeader);
    EXPECT_EQ(content.codes, QStringList({kCodeA, "01x"}));
}

TEST_F(GroupFileTest, DeleteRemovesOnlyThatGroup)
{
    ASSERT_TRUE(SaveGroupFile(ExePath, 0, "a", {kCodeA}));
    ASSERT_TRUE(SaveGroupFile(ExePath, 1, "b", {kCodeB}));
    EXPECT_TRUE(DeleteGroupFile(ExePath, 0));
    EXPECT_FALSE(QFile::exists(GroupFilePath(ExePath, 0)));
    EXPECT_TRUE(QFile::exists(GroupFilePath(ExePath, 1)));
    EXPECT_TRUE(DeleteGroupFile(ExePath, 0));
}

TEST_F(GroupFileTest, ByteOrderMarkInFrontOfTheHeaderIsNotPartOfIt)
{
    const QString path = GroupFilePath(ExePath, 4);
    Write(path, "\xEF\xBB\xBF\"Group 5, Porch\"\r\n\"" + kCodeA.toLatin1() + "\"\r\n");
    EXPECT_EQ(goGrLabel("g", path), QStringLiteral("Porch"));
    GroupFileContent content;
    ASSERT_TRUE(ReadGroupFile(path, &content));
    EXPECT_TRUE(content.hasHeader);
    EXPECT_EQ(content.codes, QStringList{kCodeA});
}

// A label or item may end in any one-byte letter, at the end of a line or of
// the file; it reads back whole and is written back as the same byte.
TEST_F(GroupFileTest, EveryByteEndingALineOrTheFileIsKept)
{
    const QString path = GroupFilePath(ExePath, 0);
    const QByteArray codeA = kCodeA.toLatin1();
    for (int b = 0x80; b <= 0xFF; ++b) {
        // The no-break space is a blank, which lines lose at their ends.
        if (b == 0xA0)
            continue;
        SCOPED_TRACE(b);
        const QByteArray word = QByteArray("Caf") + char(b);
        const QString text = QStringLiteral("Caf") + test::Windows1252Char(b);

        for (const QByteArray &file : {"Group 1, " + word, "Group 1, " + word + "\r\n" + codeA}) {
            Write(path, file);
            EXPECT_EQ(goGrLabel("g", path), text);
            GroupFileContent content;
            ASSERT_TRUE(ReadGroupFile(path, &content));
            EXPECT_EQ(content.label, text);
        }
        ASSERT_TRUE(SaveGroupFile(ExePath, 0, text, {kCodeA}));
        EXPECT_EQ(Bytes(path), "\"Group 1, " + word + "\"\r\n\"" + codeA + "\"\r\n");

        Write(path, "\"Group 1, x\"\r\n" + codeA + "\r\nA1 " + word);
        EXPECT_EQ(goGrLabel("p", path, text), text);
        EXPECT_EQ(Bytes(path),
                  "\"Group 1, " + word + "\"\r\n\"" + codeA + "\"\r\n\"A1 " + word + "\"\r\n");
    }
}
