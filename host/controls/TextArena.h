// Storage of the node store's keys and texts: each string is copied once into large blocks that
// the store owns and handed out as a view, so a tree of tens of thousands of nodes holds a few
// dozen allocations instead of two per node, and a rebuild frees those few instead of every
// node's strings one by one. Views stay valid until clear().
#pragma once

#include <QStringView>
#include <memory>
#include <utility>
#include <vector>

namespace sarvo::controls {

class TextArena {
public:
    TextArena() = default;
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;
    // The blocks move with their views; the arena moved from is empty.
    TextArena(TextArena&& other) noexcept { swap(other); }
    TextArena& operator=(TextArena&& other) noexcept {
        TextArena(std::move(other)).swap(*this);
        return *this;
    }

    // A copy of the text that lives as long as the arena's contents; empty texts take no room.
    QStringView add(QStringView text);
    // The two texts one after the other, as one (a node's key and text under one pointer).
    QStringView add(QStringView first, QStringView second);
    // Frees every block; earlier views are dangling after it.
    void clear();
    size_t blockCount() const { return m_blocks.size(); }
    size_t capacity() const { return m_capacity; } // characters in all blocks

private:
    void swap(TextArena& other) noexcept {
        std::swap(m_blocks, other.m_blocks);
        std::swap(m_free, other.m_free);
        std::swap(m_left, other.m_left);
        std::swap(m_nextBlock, other.m_nextBlock);
        std::swap(m_capacity, other.m_capacity);
    }

    char16_t* take(qsizetype size);

    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    char16_t* m_free = nullptr; // the unused end of the newest block
    qsizetype m_left = 0;
    qsizetype m_nextBlock = 0;
    size_t m_capacity = 0;
};

} // namespace sarvo::controls
