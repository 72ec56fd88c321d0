// Growth and removal of the key index.
#include "host/controls/NodeKeyIndex.h"

#include <bit>

namespace sarvo::controls {

namespace {
constexpr size_t kSmallest = 16;
}

void NodeKeyIndex::clear() {
    std::vector<Entry>().swap(m_entries);
    m_size = 0;
}

void NodeKeyIndex::reserve(size_t n) {
    const size_t buckets = std::bit_ceil(std::max(kSmallest, n * 4 / 3 + 1));
    if (buckets > m_entries.size()) rebuild(buckets);
}

void NodeKeyIndex::grow() {
    rebuild(m_entries.empty() ? kSmallest : m_entries.size() * 2);
}

void NodeKeyIndex::rebuild(size_t buckets) {
    std::vector<Entry> old(buckets);
    old.swap(m_entries);
    for (const Entry& e : old) {
        if (e.slot == 0) continue;
        size_t i = e.hash & mask();
        while (m_entries[i].slot != 0)
            i = (i + 1) & mask();
        m_entries[i] = e;
    }
}

void NodeKeyIndex::eraseAt(size_t i) {
    // Backward shift: an entry after the hole moves into it when its home bucket does not lie
    // (cyclically) between the hole and the entry, so every remaining key stays reachable.
    for (size_t j = (i + 1) & mask();; j = (j + 1) & mask()) {
        const Entry e = m_entries[j];
        if (e.slot == 0) break;
        const size_t home = e.hash & mask();
        const bool stays = (j > i) ? (home > i && home <= j) : (home > i || home <= j);
        if (stays) continue;
        m_entries[i] = e;
        i = j;
    }
    m_entries[i] = Entry{};
    --m_size;
}

} // namespace sarvo::controls
