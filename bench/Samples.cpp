// Summaries of repeated timings.
#include "bench/Samples.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace sarvo::bench {

void Samples::add(const Elapsed& e) {
    m_wall.push_back(e.wallMs);
    m_cpu.push_back(e.cpuMs);
}

Summary Samples::summary() const {
    return {count(), median(m_wall), percentile(m_wall, 95), median(m_cpu), percentile(m_cpu, 95)};
}

double Samples::totalWallMs() const {
    return std::accumulate(m_wall.begin(), m_wall.end(), 0.0);
}

double Samples::median(std::vector<double> values) {
    if (values.empty()) return 0;
    const size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid), values.end());
    const double upper = values[mid];
    if (values.size() % 2 == 1) return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid));
    return (lower + upper) / 2;
}

double Samples::percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<size_t>(std::ceil(p / 100.0 * static_cast<double>(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

} // namespace sarvo::bench
