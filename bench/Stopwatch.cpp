// CPU time is the whole process's: the dialog's work runs on the calling thread, but whatever a
// helper thread of the toolkit does for it is part of the cost as well.
#include "bench/Stopwatch.h"

namespace sarvo::bench {

void Stopwatch::restart() {
    m_cpuMs = cpuNowMs();
    m_wall = std::chrono::steady_clock::now();
}

Elapsed Stopwatch::elapsed() const {
    const auto wall = std::chrono::steady_clock::now() - m_wall;
    return {std::chrono::duration<double, std::milli>(wall).count(), cpuNowMs() - m_cpuMs};
}

double Stopwatch::cpuNowMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

} // namespace sarvo::bench
