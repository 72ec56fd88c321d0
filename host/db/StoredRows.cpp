// Rows kept from one read; see StoredRows.h.
#include "host/db/StoredRows.h"

#include "host/db/ColumnIndex.h"

namespace sarvo::db {

std::shared_ptr<const StoredRows> StoredRows::read(Cursor& rows) {
    auto out = std::make_shared<StoredRows>();
    const int columns = rows.columnCount();
    out->m_index = rows.columnIndex();
    out->m_columns = static_cast<size_t>(columns);
    QByteArray text;
    while (rows.fetch()) {
        const size_t first = out->m_cells.size();
        for (int c = 0; c < columns; ++c) {
            Cell cell;
            if (rows.textBytes(c, &text)) {
                const std::string_view bytes(text.constData(), static_cast<size_t>(text.size()));
                // A text the cell to the left or the one above has already (a class, in two
                // spellings and on row after row) is kept once.
                const auto same = [&](size_t at) {
                    return out->m_cells[at].at >= 0 && out->text(out->m_cells[at]) == bytes;
                };
                const size_t here = first + static_cast<size_t>(c);
                if (c > 0 && same(here - 1)) {
                    cell = out->m_cells[here - 1];
                } else if (first > 0 && same(here - out->m_columns)) {
                    cell = out->m_cells[here - out->m_columns];
                } else {
                    cell = {static_cast<qint32>(out->m_text.size()), static_cast<qint32>(text.size())};
                    out->m_text.insert(out->m_text.end(), text.begin(), text.end());
                }
            } else {
                const Variant v = rows.value(c);
                if (v.isNull()) {
                    cell = {kNull, 0};
                } else if (v.type() == Variant::Type::Long) {
                    cell = {kLong, v.toLong()};
                } else {
                    cell = {kOther, static_cast<qint32>(out->m_other.size())};
                    out->m_other.push_back(v);
                }
            }
            out->m_cells.push_back(cell);
        }
    }
    out->m_cells.shrink_to_fit();
    out->m_text.shrink_to_fit();
    out->m_other.shrink_to_fit();
    return out;
}

Variant StoredRows::value(int row, int column) const {
    const Cell& c = cell(row, column);
    if (c.at >= 0) return Variant(QString::fromUtf8(m_text.data() + c.at, c.size));
    if (c.at == kNull) return Variant::null();
    if (c.at == kLong) return Variant(static_cast<int32_t>(c.size));
    return m_other[static_cast<size_t>(c.size)];
}

bool StoredRows::textBytes(int row, int column, QByteArray* out) const {
    const Cell& c = cell(row, column);
    if (c.at < 0) return false;
    *out = QByteArray::fromRawData(m_text.data() + c.at, c.size);
    return true;
}

bool StoredRows::wholeNumber(int row, int column, qint64* out) const {
    const Cell& c = cell(row, column);
    if (c.at == kLong) {
        *out = c.size;
        return true;
    }
    return c.at == kOther && Cursor::wholeNumberOf(m_other[static_cast<size_t>(c.size)], out);
}

size_t StoredRows::bytes() const {
    return m_cells.capacity() * sizeof(Cell) + m_text.capacity() + m_other.capacity() * sizeof(Variant);
}

} // namespace sarvo::db
