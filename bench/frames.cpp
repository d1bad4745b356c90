// Clocks out 200 command frames a run and reports how long each took, the
// span of its 40 bits and how long every line state was held, with the load
// average the runs saw.
//
//   bench_frames [--runs N]              on the recording fake only (3 runs)
//   bench_frames [--runs N] /dev/ttyS0   on the fake, then on that port (or a port number)
//
// Exit status: 0 when nothing is wrong, 1 for a fault of the code (a state
// held less than 0.5 ms, an event run inside a frame, a frame not as sent, a
// line not as set), 2 when the port cannot be opened, 3 when a timing target
// was missed on a quiet machine. On a loaded machine timings are printed but
// not judged.

#include "logic/Globals.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "platform/QtSerialLink.h"

#include "Conditions.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace qelt;

namespace {

constexpr int kFrames = 200;

// Passes line changes on to a link and notes when each began and ended, so
// that a hold is measured from the moment a state was in place to the
// moment the next change began.
class TimingLink : public SerialLink {
public:
    struct Change {
        qint64 begin, end;
    };

    explicit TimingLink(SerialLink &inner) : m_inner(inner) { m_clock.start(); }

    void setCommPort(const QString &p) override { m_inner.setCommPort(p); }
    QString commPort() const override { return m_inner.commPort(); }
    void setSettings(const QString &s) override { m_inner.setSettings(s); }
    QString settings() const override { return m_inner.settings(); }
    PortError setPortOpen(bool open) override { return m_inner.setPortOpen(open); }
    bool portOpen() const override { return m_inner.portOpen(); }
    quint64 openGeneration() const override { return m_inner.openGeneration(); }
    QString errorString() const override { return m_inner.errorString(); }
    void setRTSEnable(bool on) override
    {
        timed([&] { m_inner.setRTSEnable(on); });
    }
    void setDTREnable(bool on) override
    {
        timed([&] { m_inner.setDTREnable(on); });
    }
    bool rtsEnable() const override { return m_inner.rtsEnable(); }
    bool dtrEnable() const override { return m_inner.dtrEnable(); }

    qint64 now() const { return m_clock.nsecsElapsed(); }
    std::vector<Change> changes;
    bool inBits = false; // set by the first line change of a frame

private:
    template <typename F> void timed(F f)
    {
        inBits = true;
        const qint64 begin = now();
        f();
        changes.push_back({begin, now()});
    }

    SerialLink &m_inner;
    QElapsedTimer m_clock;
};

struct Result {
    std::vector<double> frameSeconds;
    std::vector<double> spanMs; // first line change of a frame to the end of its last hold
    double minSignalMs = 1e9;
    double minStandbyMs = 1e9;
    int eventsInsideFrames = 0;
    bool framesIntact = true;
};

Result run(SerialLink &inner, RecordingSerialLink *recorder)
{
    TimingLink link(inner);
    SetCommLink(&link);

    // A timer that fires as often as it can: it must never fire between the
    // first and the last line change of a frame.
    Result r;
    QTimer busy;
    busy.setInterval(0);
    QObject::connect(&busy, &QTimer::timeout, [&] {
        if (link.inBits)
            ++r.eventsInsideFrames;
    });
    busy.start();

    for (int i = 0; i < kFrames; ++i) {
        const QString code = CmdToCode(QString(QChar(u'A' + i % 16)), QString::number(i % 16 + 1),
                                       i % 2 ? "OFF" : "ON");
        const QString frame = RfFrame(code);
        link.changes.clear();
        link.inBits = false;
        if (recorder)
            recorder->clear();
        const qint64 start = link.now();
        SendBits(frame);
        const qint64 end = link.now();
        link.inBits = false;
        r.frameSeconds.push_back(double(end - start) / 1e9);
        if (recorder && recorder->decodedBits() != frame)
            r.framesIntact = false;

        const auto &c = link.changes;
        if (c.size() != size_t(frame.size()) * 4) {
            r.framesIntact = false;
            continue;
        }
        r.spanMs.push_back(double(end - c.front().begin) / 1e6);
        for (size_t k = 0; k < c.size(); k += 4) {
            // Signal: from the end of the second change to the start of the third.
            r.minSignalMs = std::min(r.minSignalMs, double(c[k + 2].begin - c[k + 1].end) / 1e6);
            // Standby: from the end of the fourth change to the next bit, or to
            // the end of the frame after the last bit.
            const qint64 next = k + 4 < c.size() ? c[k + 4].begin : end;
            r.minStandbyMs = std::min(r.minStandbyMs, double(next - c[k + 3].end) / 1e6);
        }
    }
    busy.stop();
    SetCommLink(nullptr);
    return r;
}

// Reads the real lines back after every change (a second descriptor on the
// same device; TIOCMGET gives the modem-control lines as the driver set them).
// Opening that descriptor may raise both lines, which is the standby state.
// Returns the number of mismatches, or -1 when the device cannot be opened.
int verifyLines(SerialLink &port, const QString &device, int frames, int *checked)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct Checking : SerialLink {
        SerialLink &inner;
        int fd;
        int checked = 0, mismatches = 0;
        Checking(SerialLink &i, int f) : inner(i), fd(f) {}
        void setCommPort(const QString &p) override { inner.setCommPort(p); }
        QString commPort() const override { return inner.commPort(); }
        void setSettings(const QString &s) override { inner.setSettings(s); }
        QString settings() const override { return inner.settings(); }
        PortError setPortOpen(bool o) override { return inner.setPortOpen(o); }
        bool portOpen() const override { return inner.portOpen(); }
        quint64 openGeneration() const override { return inner.openGeneration(); }
        QString errorString() const override { return inner.errorString(); }
        void setRTSEnable(bool on) override
        {
            inner.setRTSEnable(on);
            check(TIOCM_RTS, on);
        }
        void setDTREnable(bool on) override
        {
            inner.setDTREnable(on);
            check(TIOCM_DTR, on);
        }
        bool rtsEnable() const override { return inner.rtsEnable(); }
        bool dtrEnable() const override { return inner.dtrEnable(); }
        // Only the line just switched: the other one may still be as the
        // opened port left it.
        void check(int line, bool on)
        {
            int bits = 0;
            ++checked;
            if (ioctl(fd, TIOCMGET, &bits) != 0 || bool(bits & line) != on)
                ++mismatches;
        }
    } link(port, fd);
    SetCommLink(&link);
    for (int i = 0; i < frames; ++i)
        SendBits(RfFrame(CmdToCode("C", QString::number(i % 16 + 1), "ON")));
    SetCommLink(nullptr);
    ::close(fd);
    *checked = link.checked;
    return link.mismatches;
}

struct Verdict {
    bool fault = false;        // a hold too short, an event inside a frame, a broken frame
    bool timingMissed = false; // a timing target missed on a quiet machine
};

// Prints each run and the spread of the runs' medians, and judges them: the
// holds, the frames and the events are the code's own (load only lengthens
// a hold), the times are judged only on a quiet machine.
void report(const char *name, const std::vector<Result> &runs, const bench::Load &before,
            Verdict *verdict)
{
    constexpr double kFrameTarget = 0.07 + 0.04;
    constexpr double kSpanTargetMs = 42.5;
    std::vector<double> frameMedians, spanMedians;
    double minSignal = 1e9, minStandby = 1e9;
    int events = 0;
    bool intact = true;
    for (size_t i = 0; i < runs.size(); ++i) {
        const Result &r = runs[i];
        const bench::Spread f = bench::SpreadOf(r.frameSeconds);
        const bench::Spread b = bench::SpreadOf(r.spanMs);
        std::printf("%s, run %zu: %d frames\n", name, i + 1, int(r.frameSeconds.size()));
        std::printf("  frame time  min %.4f  median %.4f  max %.4f s\n", f.min, f.median, f.max);
        std::printf("  bit span    min %.3f  median %.3f  max %.3f ms (40 bits)\n", b.min, b.median,
                    b.max);
        std::printf("  shortest hold: signal %.4f ms, standby %.4f ms; events inside a frame %d; "
                    "frames intact %s\n",
                    r.minSignalMs, r.minStandbyMs, r.eventsInsideFrames,
                    r.framesIntact ? "yes" : "NO");
        frameMedians.push_back(f.median);
        spanMedians.push_back(b.median);
        minSignal = std::min(minSignal, r.minSignalMs);
        minStandby = std::min(minStandby, r.minStandbyMs);
        events += r.eventsInsideFrames;
        intact = intact && r.framesIntact;
    }
    const bench::Spread f = bench::SpreadOf(frameMedians);
    const bench::Spread b = bench::SpreadOf(spanMedians);
    const bool holdsOk = minSignal >= 0.5 && minStandby >= 0.5;
    const bench::Timing frameTiming =
        bench::Judge(f.median >= kFrameTarget * 0.9 && f.median <= kFrameTarget * 1.1, before);
    const bench::Timing spanTiming = bench::Judge(b.median <= kSpanTargetMs, before);
    std::printf("%s over %zu runs (figures: min / median / max of the runs' medians)\n", name,
                runs.size());
    std::printf("  frame time  %.4f / %.4f / %.4f s   target %.3f s +-10%%: %s\n", f.min, f.median,
                f.max, kFrameTarget, bench::TimingText(frameTiming));
    std::printf("  bit span    %.3f / %.3f / %.3f ms  target <= %.1f ms (limit 40 ms): %s\n", b.min,
                b.median, b.max, kSpanTargetMs, bench::TimingText(spanTiming));
    std::printf("  every state held at least 0.5 ms (shortest signal %.4f, standby %.4f ms): %s\n",
                minSignal, minStandby, holdsOk ? "ok" : "FAULT");
    std::printf("  events run inside a frame: %d (%s); frames intact: %s\n", events,
                events == 0 ? "ok" : "FAULT", intact ? "ok" : "FAULT");
    verdict->fault = verdict->fault || !holdsOk || events != 0 || !intact;
    verdict->timingMissed = verdict->timingMissed || frameTiming == bench::Timing::Missed ||
                            spanTiming == bench::Timing::Missed;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SetHouseCodes();
    SetUnitCodes();
    int runs = 3;
    QString port;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else
            port = args[i];
    }
    const bench::Load before = bench::CurrentLoad();
    std::printf("bench_frames: %d runs of %d frames on the recording fake%s%s\n", runs, kFrames,
                port.isEmpty() ? "" : " and on ", qPrintable(port));
    bench::PrintLoad("before", before);
    Verdict verdict;

    RecordingSerialLink fake;
    fake.setCommPort("1");
    fake.setPortOpen(true);
    std::vector<Result> fakeRuns;
    for (int i = 0; i < runs; ++i)
        fakeRuns.push_back(run(fake, &fake));
    report("recording fake", fakeRuns, before, &verdict);

    if (!port.isEmpty()) {
        platform::QtSerialLink link;
        link.setCommPort(port);
        link.setSettings("9600,N,8,1");
        if (link.setPortOpen(true) != PortError::None) {
            std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(port),
                         qPrintable(link.errorString()));
            return 2;
        }
        int checked = 0;
        const int mismatches = verifyLines(link, PortDeviceName(link.commPort()), 5, &checked);
        if (mismatches < 0)
            std::printf("%s: lines not read back (second descriptor refused)\n", qPrintable(port));
        else
            std::printf("%s: %d line changes read back, %d not as set (%s)\n", qPrintable(port),
                        checked, mismatches, mismatches == 0 ? "ok" : "FAULT");
        verdict.fault = verdict.fault || mismatches > 0;
        std::vector<Result> portRuns;
        for (int i = 0; i < runs; ++i)
            portRuns.push_back(run(link, nullptr));
        report(qPrintable(port), portRuns, before, &verdict);
        if (!link.errorString().isEmpty()) {
            std::printf("%s: %s (FAULT)\n", qPrintable(port), qPrintable(link.errorString()));
            verdict.fault = true;
        }
        link.setPortOpen(false);
    }
    bench::PrintLoad("after", bench::CurrentLoad());
    std::printf("verdict: %s\n", verdict.fault          ? "FAULT in the code"
                                 : verdict.timingMissed ? "timing target MISSED on a quiet machine"
                                                        : "no fault; timing as judged above");
    return verdict.fault ? 1 : verdict.timingMissed ? 3 : 0;
}
