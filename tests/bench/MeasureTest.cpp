// The summaries beside every timing and the memory readings: median and nearest-rank 95th
// percentile over small tables of values, and heap and resident readings that follow real
// allocations.
#include "bench/MemoryProbe.h"
#include "bench/Samples.h"
#include "bench/Stopwatch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>

using namespace sarvo::bench;

namespace {

TEST(Samples, MedianAndPercentile) {
    struct Case {
        std::vector<double> values;
        double median;
        double p95;
    };
    const Case cases[] = {
        {{}, 0, 0},
        {{7}, 7, 7},
        {{3, 1}, 2, 3},
        {{5, 1, 4, 2, 3}, 3, 5},
        // Twenty values: the 95th percentile is the 19th smallest, not the largest.
        {{20, 1, 19, 2, 18, 3, 17, 4, 16, 5, 15, 6, 14, 7, 13, 8, 12, 9, 11, 10}, 10.5, 19},
        // One slow outlier among 25 moves the percentile, not the median.
        {std::vector<double>(24, 2.0), 2, 2},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(Samples::median(c.values), c.median) << c.values.size() << " values";
        EXPECT_DOUBLE_EQ(Samples::percentile(c.values, 95), c.p95) << c.values.size() << " values";
    }
    std::vector<double> outlier(24, 2.0);
    outlier.push_back(90);
    EXPECT_DOUBLE_EQ(Samples::median(outlier), 2);
    EXPECT_DOUBLE_EQ(Samples::percentile(outlier, 95), 2);
    EXPECT_DOUBLE_EQ(Samples::percentile(outlier, 100), 90);
}

TEST(Samples, SummaryKeepsWallAndCpuApart) {
    Samples s;
    s.add({10, 1});
    s.add({30, 3});
    s.add({20, 2});
    const Summary sum = s.summary();
    EXPECT_EQ(sum.count, 3);
    EXPECT_DOUBLE_EQ(sum.wallMedian, 20);
    EXPECT_DOUBLE_EQ(sum.wallP95, 30);
    EXPECT_DOUBLE_EQ(sum.cpuMedian, 2);
    EXPECT_DOUBLE_EQ(sum.cpuP95, 3);
    EXPECT_DOUBLE_EQ(s.totalWallMs(), 60);
}

TEST(Stopwatch, SleepingTakesWallTimeButNoCpu) {
    const Stopwatch clock;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const Elapsed slept = clock.elapsed();
    EXPECT_GE(slept.wallMs, 29);
    EXPECT_LT(slept.cpuMs, 15);

    // Spinning is counted as CPU time; waiting for it by CPU rather than wall time keeps this
    // true on a loaded machine.
    const Stopwatch busy;
    volatile double x = 0;
    while (busy.elapsed().cpuMs < 20 && busy.elapsed().wallMs < 5000)
        x = x + 1;
    const Elapsed spun = busy.elapsed();
    EXPECT_GE(spun.cpuMs, 20);
    EXPECT_GE(spun.wallMs + 1, spun.cpuMs);
}

TEST(MemoryProbe, HeapAndResidentFollowAnAllocation) {
    constexpr size_t size = 32u << 20;
    const int64_t heapBefore = MemoryProbe::heapInUse();
    auto block = std::make_unique<char[]>(size);
    std::memset(block.get(), 1, size);
    const int64_t heapWith = MemoryProbe::heapInUse();
    EXPECT_GE(heapWith - heapBefore, static_cast<int64_t>(size));
    EXPECT_GE(MemoryProbe::peakResident(), MemoryProbe::currentResident());
    EXPECT_GE(MemoryProbe::currentResident(), static_cast<int64_t>(size));
    block.reset();
    EXPECT_LT(MemoryProbe::heapInUse(), heapWith - static_cast<int64_t>(size) / 2);
    // After a reset the peak starts again near the current size.
    if (MemoryProbe::resetPeak()) {
        EXPECT_LT(MemoryProbe::peakResident(), MemoryProbe::currentResident() + (16 << 20));
    }
}

} // namespace
