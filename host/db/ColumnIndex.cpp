// Columns by name; see ColumnIndex.h.
#include "host/db/ColumnIndex.h"

#include "host/db/Cursor.h"

namespace sarvo::db {

namespace {

// FNV-1a over the UTF-16 units folded to lower case; a hash match is confirmed by comparing.
size_t foldedHash(const QString& name) {
    size_t h = 14695981039346656037ull;
    for (const QChar c : name) {
        char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z')
            u = static_cast<char16_t>(u + 32);
        else if (u >= 0x80)
            u = c.toLower().unicode();
        h = (h ^ u) * 1099511628211ull;
    }
    return h;
}

} // namespace

ColumnIndex::ColumnIndex(QStringList names) : m_names(std::move(names)) {
    m_hashes.reserve(static_cast<size_t>(m_names.size()));
    for (const QString& name : m_names)
        m_hashes.push_back(foldedHash(name));
}

std::shared_ptr<const ColumnIndex> ColumnIndex::of(const Cursor& cursor) {
    QStringList names;
    names.reserve(cursor.columnCount());
    for (int i = 0; i < cursor.columnCount(); ++i)
        names << cursor.columnName(i);
    return std::make_shared<const ColumnIndex>(std::move(names));
}

std::shared_ptr<const ColumnIndex> Cursor::columnIndex() const {
    return ColumnIndex::of(*this);
}

int ColumnIndex::find(const QString& name) const {
    const size_t h = foldedHash(name);
    for (size_t i = 0; i < m_hashes.size(); ++i)
        if (m_hashes[i] == h && m_names[static_cast<qsizetype>(i)].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

} // namespace sarvo::db
