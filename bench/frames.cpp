// Clocks out 200 command frames and reports how long each took and how long
// every line state was held.
//
//   bench_frames              on the recording fake only
//   bench_frames /dev/ttyS0   on the fake, then on that port (or a port number)

#include "logic/Globals.h"
#include "logic/Transmitter.h"
#include "logic/X10Codes.h"
#include "platform/QtSerialLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

bool report(const char *name, const Result &r)
{
    const double target = 0.07 + 0.04;
    const double med = median(r.frameSeconds);
    const double lo = *std::min_element(r.frameSeconds.begin(), r.frameSeconds.end());
    const double hi = *std::max_element(r.frameSeconds.begin(), r.frameSeconds.end());
    const bool holdsOk = r.minSignalMs >= 0.5 && r.minStandbyMs >= 0.5;
    const bool timeOk = med >= target * 0.9 && med <= target * 1.1;
    std::printf("%s: %d frames\n", name, int(r.frameSeconds.size()));
    std::printf(
        "  frame time   min %.4f s  median %.4f s  max %.4f s  (target %.3f s +-10%%: %s)\n", lo,
        med, hi, target, timeOk ? "ok" : "MISSED");
    std::printf("  shortest signal hold   %.4f ms\n", r.minSignalMs);
    std::printf("  shortest standby hold  %.4f ms  (at least 0.5 ms: %s)\n", r.minStandbyMs,
                holdsOk ? "ok" : "MISSED");
    std::printf("  events run inside a frame: %d; frames intact: %s\n", r.eventsInsideFrames,
                r.framesIntact ? "yes" : "NO");
    return holdsOk && timeOk && r.eventsInsideFrames == 0 && r.framesIntact;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SetHouseCodes();
    SetUnitCodes();
    bool ok = true;

    RecordingSerialLink fake;
    fake.setCommPort("1");
    fake.setPortOpen(true);
    ok = report("recording fake", run(fake, &fake)) && ok;

    if (argc > 1) {
        platform::QtSerialLink port;
        port.setCommPort(QString::fromLocal8Bit(argv[1]));
        port.setSettings("9600,N,8,1");
        if (port.setPortOpen(true) != PortError::None) {
            std::fprintf(stderr, "cannot open %s: %s\n", argv[1], qPrintable(port.errorString()));
            return 2;
        }
        int checked = 0;
        const int mismatches = verifyLines(port, PortDeviceName(port.commPort()), 5, &checked);
        if (mismatches < 0)
            std::printf("%s: lines not read back (second descriptor refused)\n", argv[1]);
        else
            std::printf("%s: %d line changes read back, %d not as set\n", argv[1], checked,
                        mismatches);
        ok = mismatches <= 0 && ok;
        ok = report(argv[1], run(port, nullptr)) && ok;
        port.setPortOpen(false);
    }
    return ok ? 0 : 1;
}
