// The columns of a result by name, found without regard to case (the first of equal names).
// Results of one source share one index, so that a record set over them builds nothing on
// opening: a hierarchy build opens tens of thousands of them.
#pragma once

#include <QStringList>
#include <memory>
#include <vector>

namespace sarvo::db {

class Cursor;

class ColumnIndex {
public:
    explicit ColumnIndex(QStringList names);
    // An index of a cursor's own columns.
    static std::shared_ptr<const ColumnIndex> of(const Cursor& cursor);

    int count() const { return static_cast<int>(m_names.size()); }
    const QStringList& names() const { return m_names; }
    // The 0-based position of a column, or -1.
    int find(const QString& name) const;

private:
    QStringList m_names;
    std::vector<size_t> m_hashes; // case-blind, in column order
};

} // namespace sarvo::db
