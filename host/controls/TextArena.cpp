// Block allocation of the node texts.
#include "host/controls/TextArena.h"

#include <algorithm>
#include <cstring>

namespace sarvo::controls {

namespace {
// Blocks start small (a tree of a few nodes takes one small block) and double up to this size.
constexpr qsizetype kFirstBlock = 512;     // characters
constexpr qsizetype kLargestBlock = 16384; // characters: 32 KB
} // namespace

QStringView TextArena::add(QStringView text) {
    return add(text, {});
}

QStringView TextArena::add(QStringView first, QStringView second) {
    const qsizetype size = first.size() + second.size();
    if (size == 0) return {};
    char16_t* at = take(size);
    std::memcpy(at, first.utf16(), static_cast<size_t>(first.size()) * sizeof(char16_t));
    std::memcpy(at + first.size(), second.utf16(), static_cast<size_t>(second.size()) * sizeof(char16_t));
    return QStringView(at, size);
}

char16_t* TextArena::take(qsizetype size) {
    if (size > kLargestBlock / 4) {
        // A long text gets a block of its own; the block being filled keeps its free end.
        m_blocks.emplace_back(new char16_t[static_cast<size_t>(size)]);
        m_capacity += static_cast<size_t>(size);
        return m_blocks.back().get();
    }
    if (size > m_left) {
        m_nextBlock = m_nextBlock == 0 ? kFirstBlock : std::min(m_nextBlock * 2, kLargestBlock);
        m_blocks.emplace_back(new char16_t[static_cast<size_t>(m_nextBlock)]);
        m_capacity += static_cast<size_t>(m_nextBlock);
        m_free = m_blocks.back().get();
        m_left = m_nextBlock;
    }
    char16_t* at = m_free;
    m_free += size;
    m_left -= size;
    return at;
}

void TextArena::clear() {
    std::vector<std::unique_ptr<char16_t[]>>().swap(m_blocks);
    m_free = nullptr;
    m_left = 0;
    m_nextBlock = 0;
    m_capacity = 0;
}

} // namespace sarvo::controls
