// The key index of the tree's node store: key -> the node's slot in the store, as an open-addressed
// table of (hash, slot) pairs. The keys themselves stay in the nodes; the table keeps each key's
// hash, so growing it never hashes a key again, and a probe compares a key only when the hashes
// agree. Slots are the store's 1-based positions; the caller passes a function that gives the key
// of a slot (anything a QStringView compares with). Removal shifts the following entries back, so no
// tombstones accumulate over the adds and removes of a long session.
#pragma once

#include <QHashFunctions>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace sarvo::controls {

class NodeKeyIndex {
public:
    static uint32_t hashOf(QStringView key) { return static_cast<uint32_t>(qHash(key, 0x5a17u)); }

    size_t size() const { return m_size; }
    size_t capacity() const { return m_entries.size(); }
    // Empties the index and gives its table back.
    void clear();
    // Room for n keys without growing.
    void reserve(size_t n);

    // The slot of the key, 0 when it is not in the index. KeyOf: (uint32_t slot) -> the slot's key.
    template <class KeyOf> uint32_t find(QStringView key, uint32_t hash, const KeyOf& keyOf) const {
        if (m_entries.empty()) return 0;
        for (size_t i = hash & mask();; i = (i + 1) & mask()) {
            const Entry& e = m_entries[i];
            if (e.slot == 0) return 0;
            if (e.hash == hash && keyOf(e.slot) == key) return e.slot;
        }
    }

    // Adds key -> slot unless the key is there already; returns the slot it already had, or 0
    // when it was added.
    template <class KeyOf>
    uint32_t insert(QStringView key, uint32_t hash, uint32_t slot, const KeyOf& keyOf) {
        // Up to three quarters full: hashes are compared before keys, so a longer probe costs little.
        if ((m_size + 1) * 4 > m_entries.size() * 3) grow();
        size_t i = hash & mask();
        for (;; i = (i + 1) & mask()) {
            const Entry& e = m_entries[i];
            if (e.slot == 0) break;
            if (e.hash == hash && keyOf(e.slot) == key) return e.slot;
        }
        m_entries[i] = {hash, slot};
        ++m_size;
        return 0;
    }

    // Removes the key; false when it was not in the index.
    template <class KeyOf> bool erase(QStringView key, uint32_t hash, const KeyOf& keyOf) {
        if (m_entries.empty()) return false;
        size_t i = hash & mask();
        for (;; i = (i + 1) & mask()) {
            const Entry& e = m_entries[i];
            if (e.slot == 0) return false;
            if (e.hash == hash && keyOf(e.slot) == key) break;
        }
        eraseAt(i);
        return true;
    }

private:
    struct Entry {
        uint32_t hash = 0;
        uint32_t slot = 0; // 0: free
    };
    size_t mask() const { return m_entries.size() - 1; }
    void grow();
    void rebuild(size_t buckets);
    void eraseAt(size_t i);

    std::vector<Entry> m_entries; // a power of two long, at most half full
    size_t m_size = 0;
};

} // namespace sarvo::controls
