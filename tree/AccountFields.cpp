// Reading account fields by position.
#include "tree/AccountFields.h"

#include "component/basSarvo.h"
#include "runtime/Utf8Text.h"

#include <QStringBuilder>

#include <limits>

namespace sarvo::tree {

namespace {

// The names the tree has always asked for; a record set finds them without regard to case.
const QString& columnName(int column) {
    static const QString names[] = {QStringLiteral("cCode"), QStringLiteral("cClass"),
                                    QStringLiteral("igrade"), QStringLiteral("cCode_name"),
                                    QStringLiteral("ccode_engl")};
    return names[column];
}

// The positions last looked up, and the columns they are positions in. Readers nest (a node's
// children are read while its siblings' record set is open), so each copies them.
struct KnownPositions {
    std::shared_ptr<const db::ColumnIndex> columns;
    std::array<int, 5> positions{-1, -1, -1, -1, -1};
};
thread_local KnownPositions t_known;

} // namespace

AccountFields::AccountFields(const db::Recordset& records) : m_records(records), m_zwPub(basSarvo::oZwPub()) {
    if (records.columns() && records.columns() == t_known.columns) m_positions = t_known.positions;
}

AccountFields::~AccountFields() {
    if (m_found && m_records.columns()) t_known = {m_records.columns(), m_positions};
}

int AccountFields::position(Column column) const {
    int& position = m_positions[static_cast<size_t>(column)];
    if (position < 0) {
        position = m_records.fieldIndex(columnName(column));
        m_found = true;
    }
    return position;
}

Variant AccountFields::value(Column column) const {
    return m_records.fieldAt(position(column));
}

Variant AccountFields::accountClass() const {
    return value(Class);
}

int16_t AccountFields::grade() const {
    qint64 grade = 0;
    if (m_records.wholeNumberAt(position(Grade), &grade) && grade >= std::numeric_limits<int16_t>::min() &&
        grade <= std::numeric_limits<int16_t>::max())
        return static_cast<int16_t>(grade);
    return value(Grade).toInteger(); // any other value converts (or fails) as the host language's
}

const QString& AccountFields::key(QChar letter, QString& buffer) const {
    QByteArray utf8;
    if (!m_records.textBytesAt(position(Code), &utf8)) {
        buffer = letter + value(Code).toDisplayText();
        return buffer;
    }
    buffer.resize(1 + utf8.size());
    QChar* out = buffer.data();
    *out++ = letter;
    buffer.truncate(decodeUtf8Into(out, utf8.constData(), utf8.size()) - buffer.constData());
    return buffer;
}

const QString& AccountFields::nodeText(QStringView code, QString& buffer) const {
    const Column name = m_zwPub->LangFlag() == 1 ? Name : EnglishName;
    QByteArray utf8;
    const bool bytes = m_records.textBytesAt(position(name), &utf8);
    // The name straight after the code and the blank: no string of its own for every node.
    const QString other = bytes ? QString() : value(name).toDisplayText();
    buffer.resize(code.size() + 1 + (bytes ? utf8.size() : other.size()));
    QChar* out = std::copy(code.begin(), code.end(), buffer.data());
    *out++ = QLatin1Char(' ');
    out = bytes ? decodeUtf8Into(out, utf8.constData(), utf8.size())
                : std::copy(other.begin(), other.end(), out);
    buffer.truncate(out - buffer.constData());
    return buffer;
}

} // namespace sarvo::tree
