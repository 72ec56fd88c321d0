// Reading account fields by position.
#include "tree/AccountFields.h"

#include "component/basSarvo.h"

#include <QStringBuilder>
#include <QStringDecoder>

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

QString AccountFields::code() const {
    QByteArray utf8;
    if (m_records.textBytesAt(position(Code), &utf8)) return QString::fromUtf8(utf8);
    return value(Code).toDisplayText();
}

Variant AccountFields::accountClass() const {
    return value(Class);
}

int16_t AccountFields::grade() const {
    return value(Grade).toInteger();
}

QString AccountFields::nodeText(const QString& code) const {
    const Column name = m_zwPub->LangFlag() == 1 ? Name : EnglishName;
    QByteArray utf8;
    if (!m_records.textBytesAt(position(name), &utf8))
        return code % QLatin1Char(' ') % value(name).toDisplayText();
    // The name decoded straight after the code and the blank, as QString::fromUtf8 decodes it (a
    // leading byte order mark dropped): no string of its own for every node.
    QString text(code.size() + 1 + utf8.size(), Qt::Uninitialized);
    QChar* out = std::copy(code.begin(), code.end(), text.data());
    *out++ = QLatin1Char(' ');
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    out = decoder.appendToBuffer(out, utf8);
    text.resize(out - text.constData());
    return text;
}

} // namespace sarvo::tree
