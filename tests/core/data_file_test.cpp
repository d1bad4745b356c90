#include "core/Cipher.h"
#include "core/DataFile.h"
#include "core/ProgramFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <climits>
#include <unistd.h>

using namespace qelt;

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace
{

class DataFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = InProgramFolder(
            QString("db_%1.zvd")
                .arg(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        QFile::remove(path);
        ASSERT_TRUE(OpenDataFile(path));
    }
    void TearDown() override { CloseDataFile(); }

    QByteArray raw() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray rawRecord(int rec) const { return raw().mid((rec - 1) * 255, 255); }

    QString path;
};

} // namespace

TEST_F(DataFileTest, NewFileIsCreatedAndReadsEmpty)
{
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(DataFileIsOpen());
    for (int rec : {1, 270, 282}) {
        bool ok = false;
        EXPECT_EQ(GetRec(rec, true, &ok), QString()) << rec;
        EXPECT_TRUE(ok) << rec;
    }
}

TEST_F(DataFileTest, RecordsRoundTripInTheirLayout)
{
    ASSERT_TRUE(PutRec(44, "C12## Porch light"));
    EXPECT_EQ(GetRec(44), QString("C12## Porch light"));

    // 2-byte little-endian length, then the scrambled text, at (n-1)*255.
    const QString scrambled = Crypt(false, "C12## Porch light");
    const QByteArray rec = rawRecord(44);
    ASSERT_EQ(rec.size(), 255);
    EXPECT_EQ(static_cast<unsigned char>(rec[0]), scrambled.size());
    EXPECT_EQ(rec[1], '\0');
    EXPECT_EQ(rec.mid(2, scrambled.size()), scrambled.toLatin1());
    EXPECT_EQ(GetRec(44, false), scrambled);

    // A shorter text replaces a longer one completely; quotes are dropped.
    ASSERT_TRUE(PutRec(44, "say \"hi\""));
    EXPECT_EQ(GetRec(44), QString("say hi"));
    ASSERT_TRUE(PutRec(44, ""));
    EXPECT_EQ(GetRec(44), QString());

    // Without scrambling the text is stored as given, in the one-byte set.
    ASSERT_TRUE(PutRec(3, QString::fromUtf8("Küche"), false));
    EXPECT_EQ(rawRecord(3).mid(0, 7), QByteArray("\x05\x00K\xFC"
                                                 "che",
                                                 7));
    EXPECT_EQ(GetRec(3, false), QString::fromUtf8("Küche"));

    // Records survive closing and opening again.
    CloseDataFile();
    EXPECT_FALSE(DataFileIsOpen());
    ASSERT_TRUE(OpenDataFile(path));
    EXPECT_EQ(GetRec(3, false), QString::fromUtf8("Küche"));
}

TEST_F(DataFileTest, WritingPastTheEndExtendsTheFile)
{
    ASSERT_TRUE(PutRec(1, "first"));
    EXPECT_EQ(raw().size(), 255);
    ASSERT_TRUE(PutRec(282, "12/7/2026 9:37:08 PM"));
    EXPECT_EQ(raw().size(), 282 * 255);
    EXPECT_EQ(GetRec(1), QString("first"));
    EXPECT_EQ(GetRec(282), QString("12/7/2026 9:37:08 PM"));
    for (int rec = 2; rec <= 281; ++rec) {
        bool ok = false;
        EXPECT_EQ(GetRec(rec, true, &ok), QString()) << rec;
        EXPECT_TRUE(ok) << rec;
    }
    bool ok = false;
    EXPECT_EQ(GetRec(5000, true, &ok), QString());
    EXPECT_TRUE(ok);
}

TEST_F(DataFileTest, TooLongTextFailsWithoutTouchingTheRecord)
{
    const QString fits(141, QChar('d'));
    ASSERT_TRUE(PutRec(10, fits));
    EXPECT_EQ(GetRec(10), fits);
    const QByteArray before = raw();

    EXPECT_FALSE(PutRec(10, QString(142, QChar('d'))));
    EXPECT_FALSE(PutRec(11, QString(300, QChar('d'))));
    EXPECT_FALSE(PutRec(10, QString(254, QChar('d')), false));
    EXPECT_EQ(raw(), before);
    EXPECT_EQ(GetRec(10), fits);

    EXPECT_TRUE(PutRec(12, QString(253, QChar('d')), false));
    EXPECT_EQ(GetRec(12, false), QString(253, QChar('d')));
}

TEST_F(DataFileTest, RecordNumbersBelowOneFail)
{
    ASSERT_TRUE(PutRec(1, "one"));
    const QByteArray before = raw();
    for (int rec : {0, -1, INT_MIN}) {
        EXPECT_FALSE(PutRec(rec, "x")) << rec;
        bool ok = true;
        EXPECT_EQ(GetRec(rec, true, &ok), QString()) << rec;
        EXPECT_FALSE(ok) << rec;
    }
    EXPECT_EQ(raw(), before);
}

TEST_F(DataFileTest, DamagedRecordsReportFailure)
{
    ASSERT_TRUE(PutRec(1, "one"));
    CloseDataFile();
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(0);
        f.write(QByteArray("\xFF\xFF", 2)); // length beyond a record
        f.seek(255);
        f.write(QByteArray("\x0A\x00"
                           "abc",
                           5)); // text cut off by the end of the file
    }
    ASSERT_TRUE(OpenDataFile(path));
    for (int rec : {1, 2}) {
        bool ok = true;
        EXPECT_EQ(GetRec(rec, true, &ok), QString()) << rec;
        EXPECT_FALSE(ok) << rec;
    }
}

TEST_F(DataFileTest, NoOpenFileFails)
{
    CloseDataFile();
    bool ok = true;
    EXPECT_EQ(GetRec(1, true, &ok), QString());
    EXPECT_FALSE(ok);
    EXPECT_FALSE(PutRec(1, "x"));

    EXPECT_FALSE(OpenDataFile(ProgramFolder() + "/no such folder/db.zvd"));
    EXPECT_FALSE(DataFileIsOpen());
    EXPECT_FALSE(OpenDataFile(ProgramFolder())); // a folder, not a file
    EXPECT_FALSE(DataFileIsOpen());
    EXPECT_FALSE(PutRec(1, "x"));

    if (::geteuid() != 0) {
        ASSERT_TRUE(OpenDataFile(path));
        CloseDataFile();
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        EXPECT_FALSE(OpenDataFile(path));
        EXPECT_FALSE(DataFileIsOpen());
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}
