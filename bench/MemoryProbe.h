// Memory as the benchmark reports it: the heap in use (allocated and not yet freed, all arenas,
// mapped blocks included) and the resident set's peak, which the kernel lets a process reset so
// each case gets a peak of its own.
#pragma once

#include <cstdint>

namespace sarvo::bench {

class MemoryProbe {
public:
    static int64_t heapInUse();
    // The part of the heap the embedded engine holds (its page cache, compiled statements): bounded
    // by the engine's cache size, not by the tree.
    static int64_t engineInUse();
    // Starts a new peak at the current resident size; false where the kernel does not allow it
    // (the peak then covers the run so far).
    static bool resetPeak();
    static int64_t peakResident();    // bytes; 0 when unknown
    static int64_t currentResident(); // bytes; 0 when unknown
};

} // namespace sarvo::bench
