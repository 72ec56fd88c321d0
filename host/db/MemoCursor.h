// Rows a JoinMemo answers a statement with: a part of the memo's rows, in order. Reads nothing
// from the engine; it closes with the connection that made it, as the engine's cursors do. The
// cursor of the statement that built the memo also ends the memo when its rows are done, as the
// engine's cursor would end its read there.
#pragma once

#include "host/db/Cursor.h"
#include "host/db/JoinMemo.h"

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace sarvo::db {

class MemoCursor : public Cursor {
public:
    // alive: false once the connection closed. done: called once when the rows are done or the
    // cursor closes (may be empty).
    MemoCursor(std::shared_ptr<const JoinMemo> memo, JoinMemo::Rows rows, std::shared_ptr<const bool> alive,
               std::function<void()> done = {});
    ~MemoCursor() override;

    int columnCount() const override;
    QString columnName(int column) const override;
    std::shared_ptr<const ColumnIndex> columnIndex() const override;
    bool fetch() override;
    Variant value(int column) const override;
    bool textBytes(int column, QByteArray* out) const override;
    bool wholeNumber(int column, qint64* out) const override;
    void rewind() override;
    bool isOpen() const override { return !m_closed && *m_alive; }
    void close() override;

private:
    void finish();

    std::shared_ptr<const JoinMemo> m_memo;
    std::vector<int> m_owned;
    std::span<const int> m_rows; // into the memo, which m_memo keeps, or into m_owned
    std::shared_ptr<const bool> m_alive;
    std::function<void()> m_done;
    size_t m_next = 0;
    int m_current = -1;
    bool m_closed = false;
};

} // namespace sarvo::db
