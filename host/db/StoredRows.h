// Rows read once from a cursor and kept: texts as the engine gave them (UTF-8, in one block),
// other values as they came. A build's memo reads the year's accounts from here while the
// database is unchanged, instead of asking the engine for them again.
#pragma once

#include "host/db/Cursor.h"

#include <QStringList>
#include <memory>
#include <string_view>
#include <vector>

namespace sarvo::db {

class StoredRows {
public:
    // Reads rows to the cursor's end.
    static std::shared_ptr<const StoredRows> read(Cursor& rows);

    int columnCount() const { return static_cast<int>(m_columns); }
    // The columns by name, one index for every reader of these rows.
    const std::shared_ptr<const ColumnIndex>& columnIndex() const { return m_index; }
    int rowCount() const { return m_columns ? static_cast<int>(m_cells.size() / m_columns) : 0; }
    Variant value(int row, int column) const;
    bool textBytes(int row, int column, QByteArray* out) const;
    // A text's bytes in place (null data when the value is not text), and a whole number's value
    // (false when it is not one): a build's memo reads two cells of every row of the year.
    std::string_view textView(int row, int column) const {
        const Cell& c = cell(row, column);
        return c.at >= 0 ? text(c) : std::string_view();
    }
    bool wholeNumber(int row, int column, qint64* out) const;
    // Bytes held, for the benchmark's account of memory.
    size_t bytes() const;

private:
    // A text's bytes in m_text; or, by at: m_other[size], a null, a whole number (size).
    struct Cell {
        qint32 at = -1;
        qint32 size = 0;
    };
    static constexpr qint32 kOther = -1;
    static constexpr qint32 kNull = -2;
    static constexpr qint32 kLong = -3;
    std::string_view text(const Cell& c) const { return {m_text.data() + c.at, static_cast<size_t>(c.size)}; }
    const Cell& cell(int row, int column) const {
        return m_cells[static_cast<size_t>(row) * m_columns + static_cast<size_t>(column)];
    }
    std::shared_ptr<const ColumnIndex> m_index;
    size_t m_columns = 0;
    std::vector<Cell> m_cells;
    std::vector<char> m_text;
    std::vector<Variant> m_other;
};

} // namespace sarvo::db
