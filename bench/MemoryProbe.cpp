// glibc's allocator statistics and the process status file.
#include "bench/MemoryProbe.h"

#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <sqlite3.h>

namespace sarvo::bench {

namespace {

// A "Name:   1234 kB" line of /proc/self/status, in bytes.
int64_t statusField(const char* name) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    int64_t value = 0;
    const size_t length = std::strlen(name);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, name, length) == 0 && line[length] == ':') {
            long long kb = 0;
            if (std::sscanf(line + length + 1, "%lld", &kb) == 1) value = kb * 1024;
            break;
        }
    }
    std::fclose(f);
    return value;
}

} // namespace

int64_t MemoryProbe::heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<int64_t>(info.uordblks + info.hblkhd);
}

int64_t MemoryProbe::engineInUse() {
    return sqlite3_memory_used();
}

bool MemoryProbe::resetPeak() {
    FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f) return false;
    const bool written = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && written;
}

int64_t MemoryProbe::peakResident() {
    return statusField("VmHWM");
}

int64_t MemoryProbe::currentResident() {
    return statusField("VmRSS");
}

} // namespace sarvo::bench
