// What every benchmark prints about the machine it ran on, and the summary
// of a series of figures. Timings taken on a loaded machine say more about
// the other programs than about this one: the benchmarks tell the two apart
// by the load average, and judge timing targets only on a quiet machine.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <unistd.h>

namespace qelt::bench {

// A machine is quiet while its one-minute load average is below 1.
struct Load {
    double avg[3] = {-1, -1, -1}; // 1, 5 and 15 minutes; -1 when unknown
    bool known() const { return avg[0] >= 0; }
    bool quiet() const { return known() && avg[0] < 1.0; }
};

inline Load CurrentLoad()
{
    Load l;
    if (getloadavg(l.avg, 3) != 3)
        l = Load{};
    return l;
}

// "load average 0.42 0.51 0.60 (1/5/15 min) on 8 cores: quiet"
inline void PrintLoad(const char *when, const Load &l)
{
    if (!l.known()) {
        std::printf("load average %s: unknown\n", when);
        return;
    }
    std::printf("load average %s: %.2f %.2f %.2f (1/5/15 min) on %ld cores: %s\n", when, l.avg[0],
                l.avg[1], l.avg[2], sysconf(_SC_NPROCESSORS_ONLN),
                l.quiet() ? "quiet" : "LOADED (timing targets not judged; quiet is load < 1)");
}

struct Spread {
    double min = 0, median = 0, max = 0;
};

inline Spread SpreadOf(std::vector<double> v)
{
    if (v.empty())
        return {};
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return {v.front(), n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2, v.back()};
}

// How a timing target came out: met, missed on a quiet machine, or not
// judged because the machine was loaded.
enum class Timing { Met, Missed, NotJudged };

inline Timing Judge(bool met, const Load &before)
{
    if (met)
        return Timing::Met;
    return before.quiet() ? Timing::Missed : Timing::NotJudged;
}

inline const char *TimingText(Timing t)
{
    switch (t) {
    case Timing::Met:
        return "ok";
    case Timing::Missed:
        return "MISSED";
    case Timing::NotJudged:
        return "not met, machine loaded: not judged";
    }
    return "";
}

} // namespace qelt::bench
