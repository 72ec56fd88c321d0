// The repeated timings of one case and their summary: median and 95th percentile of wall and
// CPU time. The percentile is the nearest-rank one, so it is always a time that was measured.
#pragma once

#include "bench/Stopwatch.h"

#include <vector>

namespace sarvo::bench {

struct Summary {
    int count = 0;
    double wallMedian = 0;
    double wallP95 = 0;
    double cpuMedian = 0;
    double cpuP95 = 0;
};

class Samples {
public:
    void add(const Elapsed& e);
    int count() const { return static_cast<int>(m_wall.size()); }
    bool empty() const { return m_wall.empty(); }
    Summary summary() const;
    double totalWallMs() const;

    // Median of values (the mean of the middle two for an even count); 0 for none.
    static double median(std::vector<double> values);
    // Nearest-rank percentile, p in (0, 100]; 0 for none.
    static double percentile(std::vector<double> values, double p);

private:
    std::vector<double> m_wall;
    std::vector<double> m_cpu;
};

} // namespace sarvo::bench
