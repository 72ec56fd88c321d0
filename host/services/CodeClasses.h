// The host's collection of account classes of one account set, in class order.
#pragma once

#include "runtime/DispatchObject.h"

#include <vector>

namespace sarvo::host {

// Item(position) is the class name as stored in code.cclass, ClassKind(position) its kind code;
// positions are 0-based. Late-bound: Item(position), ClassKind(position), Count.
class CodeClasses : public DispatchObject {
public:
    struct Entry {
        QString cclass;
        QString kind;
        QString textZhCn, textZhTw, textEnUs;
    };
    explicit CodeClasses(std::vector<Entry> entries);
    QString Item(int16_t position) const;      // 9 when out of range
    QString ClassKind(int16_t position) const; // 9 when out of range
    int count() const { return static_cast<int>(m_entries.size()); }
    const Entry& entry(int position) const { return m_entries.at(static_cast<size_t>(position)); }

private:
    const Entry& checked(int16_t position) const;
    std::vector<Entry> m_entries;
};

} // namespace sarvo::host
