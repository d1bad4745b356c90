#pragma once

// Fakes shared by the scheduler engine's tests: the neighbours the engine
// writes to and a wall clock that follows the fake wait clock.

#include "logic/SchedulerClock.h"
#include "logic/SchedulerEngine.h"
#include "logic/SchedulerHost.h"
#include "logic/SerialLink.h"
#include "logic/Transmitter.h"
#include "tests/support/FakeWaitClock.h"

#include <QFile>
#include <QLocale>
#include <QMap>
#include <QStringList>
#include <QVector>

namespace qelt::test {

class FakeHost : public SchedulerHost {
public:
    FakeHost() : status(100), colour(100, 0) {}

    void appendLog(const QString &entry) override { log += entry; }
    int statusRowCount() const override { return int(status.size()); }
    QString statusText(int row) const override { return status.value(row); }
    void setStatus(int row, const QString &text, unsigned rgb) override
    {
        if (row < 0 || row >= status.size())
            return;
        status[row] = text;
        colour[row] = rgb;
    }
    void setTimerIndicator(bool on) override { indicator = on; }
    void setLamp(bool lit) override { lamp = lit; }
    void frmReturn() override { ++returns; }
    bool strtGroup(int sNum, const QString &sAction) override
    {
        groups << QStringLiteral("%1 %2").arg(sNum).arg(sAction);
        return sNum >= 0 && sNum <= 7;
    }
    bool timerSoundOn() const override { return timerSound; }
    bool tickSoundOn() const override { return tickSound; }
    void playTimerSound() override { sounds << QStringLiteral("timer"); }
    void playTickSound() override { sounds << QStringLiteral("tick"); }
    bool runFile(const QString &commandLine) override
    {
        programs << commandLine;
        return runResult;
    }

    QString log;
    QVector<QString> status;
    QVector<unsigned> colour;
    bool indicator = false;
    bool lamp = false;
    int returns = 0;
    QStringList groups;
    bool timerSound = false;
    bool tickSound = false;
    QStringList sounds;
    QStringList programs;
    bool runResult = true;
};

// Local time that starts at base and moves with the fake wait clock.
class FakeWall : public WallClock {
public:
    FakeWall(const FakeWaitClock &wait, QDateTime base) : m_wait(wait), m_base(std::move(base))
    {
        SetWallClock(this);
    }
    ~FakeWall() override { SetWallClock(nullptr); }
    QDateTime now() const override
    {
        return m_base.addMSecs(m_wait.nowNs() / 1'000'000 + m_jumpMs);
    }
    void jumpMs(qint64 ms) { m_jumpMs += ms; }

private:
    const FakeWaitClock &m_wait;
    QDateTime m_base;
    qint64 m_jumpMs = 0;
};

// The serial fake installed as the transmitter's link for one test.
class RecordingLink {
public:
    RecordingLink() { SetCommLink(&link); }
    ~RecordingLink() { SetCommLink(nullptr); }
    // Frames sent so far, split into 40-bit frames where the bits allow.
    QString bits() const { return link.decodedBits(); }
    RecordingSerialLink link;
};

// The scheduler engine with its fakes around it, its wall clock starting at
// start and moving with the wait clock, which pumps the engine.
struct EngineRig {
    explicit EngineRig(const QDateTime &start) : wall{clock, start}
    {
        clock.onProcessEvents = [this] { engine.pump(); };
    }

    FakeWaitClock clock;
    FakeWall wall;
    RecordingLink link;
    TimerTable table;
    FakeHost host;
    bool tableChanged = false;
    SchedulerEngine engine{table, host, tableChanged};
};

inline void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

inline QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A macro line: code + pause.
inline QString MacroLine(const QString &code, const QString &pause)
{
    return QLatin1Char('"') + code + pause + QLatin1Char('"');
}

} // namespace qelt::test
