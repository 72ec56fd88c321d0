// Rows of a build's memo; see MemoCursor.h.
#include "host/db/MemoCursor.h"

#include "host/db/ColumnIndex.h"
#include "host/db/JoinMemo.h"
#include "runtime/RuntimeError.h"

namespace sarvo::db {

MemoCursor::MemoCursor(std::shared_ptr<const JoinMemo> memo, JoinMemo::Rows rows,
                       std::shared_ptr<const bool> alive, std::function<void()> done)
    : m_memo(std::move(memo)), m_owned(std::move(rows.owned)), m_alive(std::move(alive)),
      m_done(std::move(done)) {
    m_rows = m_owned.empty() ? rows.rows : std::span<const int>(m_owned);
}

MemoCursor::~MemoCursor() {
    finish();
}

int MemoCursor::columnCount() const {
    return m_memo->columnIndex()->count();
}

QString MemoCursor::columnName(int column) const {
    return m_memo->columnIndex()->names().value(column);
}

std::shared_ptr<const ColumnIndex> MemoCursor::columnIndex() const {
    return m_memo->columnIndex();
}

bool MemoCursor::fetch() {
    if (!isOpen()) raise(ErrorCode::ObjectClosed);
    if (m_next >= m_rows.size()) {
        m_current = -1;
        finish();
        return false;
    }
    m_current = m_rows[m_next++];
    return true;
}

Variant MemoCursor::value(int column) const {
    if (column < 0 || column >= columnCount()) raise(ErrorCode::ItemNotFound, QString::number(column));
    if (m_current < 0) raise(ErrorCode::NoCurrentRecord);
    return m_memo->value(m_current, column);
}

bool MemoCursor::textBytes(int column, QByteArray* out) const {
    if (column < 0 || column >= columnCount() || m_current < 0) return Cursor::textBytes(column, out);
    return m_memo->textBytes(m_current, column, out);
}

bool MemoCursor::wholeNumber(int column, qint64* out) const {
    if (column < 0 || column >= columnCount() || m_current < 0) return Cursor::wholeNumber(column, out);
    return m_memo->wholeNumber(m_current, column, out);
}

void MemoCursor::rewind() {
    if (!isOpen()) raise(ErrorCode::ObjectClosed);
    m_next = 0;
    m_current = -1;
}

void MemoCursor::close() {
    m_closed = true;
    finish();
}

void MemoCursor::finish() {
    if (!m_done) return;
    std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    try {
        done();
    } catch (...) {
    }
}

} // namespace sarvo::db
