// Wall time and the process's CPU time of one measured stretch, in milliseconds.
#pragma once

#include <chrono>
#include <ctime>

namespace sarvo::bench {

struct Elapsed {
    double wallMs = 0;
    double cpuMs = 0;
};

class Stopwatch {
public:
    Stopwatch() { restart(); }
    void restart();
    Elapsed elapsed() const;

private:
    static double cpuNowMs();
    std::chrono::steady_clock::time_point m_wall;
    double m_cpuMs = 0;
};

} // namespace sarvo::bench
