// ADO record-set semantics over a Cursor; see Recordset.h.
#include "host/db/Recordset.h"

#include "host/db/Cursor.h"
#include "host/db/Field.h"
#include "runtime/RuntimeError.h"

namespace sarvo::db {

Recordset::Recordset() : DispatchObject(QStringLiteral("Recordset")) {
    defineProperty(QStringLiteral("BOF"), [this] { return Variant(bof()); });
    defineProperty(QStringLiteral("EOF"), [this] { return Variant(eof()); });
    defineProperty(QStringLiteral("State"),
                   [this] { return Variant(static_cast<int32_t>(isOpen() ? 1 : 0)); });
    defineMethod(QStringLiteral("MoveFirst"), [this](VariantList&) {
        moveFirst();
        return Variant();
    });
    defineMethod(QStringLiteral("MoveNext"), [this](VariantList&) {
        moveNext();
        return Variant();
    });
    defineMethod(QStringLiteral("Close"), [this](VariantList&) {
        close();
        return Variant();
    });
    defineMethod(QStringLiteral("Fields"), [this](VariantList& args) {
        if (args.isEmpty()) raise(ErrorCode::InvalidProcedureCall, QStringLiteral("Fields needs a column"));
        requireOpen();
        const Variant& key = args[0];
        const int index = key.isNumeric() ? key.toLong() : fieldIndex(key.toString());
        if (index < 0 || index >= fieldCount()) raise(ErrorCode::ItemNotFound, key.toDisplayText());
        return Variant(
            std::make_shared<Field>(std::static_pointer_cast<const Recordset>(shared_from_this()), index));
    });
    defineMethod(QStringLiteral("Collect"), [this](VariantList& args) {
        if (args.isEmpty()) raise(ErrorCode::InvalidProcedureCall, QStringLiteral("Collect needs a column"));
        return args[0].isNumeric() ? fieldAt(args[0].toLong()) : field(args[0].toString());
    });
}

Recordset::Recordset(std::unique_ptr<Cursor> cursor) : Recordset() {
    m_cursor = std::move(cursor);
    if (!m_cursor) return;
    for (int i = 0; i < m_cursor->columnCount(); ++i) {
        const QString key = m_cursor->columnName(i).toLower();
        if (!m_index.contains(key)) m_index.insert(key, i);
    }
    fetch();
    m_bof = m_eof;
}

Recordset::~Recordset() {
    if (m_cursor) m_cursor->close();
}

bool Recordset::isOpen() const {
    return m_cursor && m_cursor->isOpen();
}

void Recordset::requireOpen() const {
    if (!isOpen()) raise(ErrorCode::ObjectClosed);
}

void Recordset::requireRow() const {
    if (m_bof || m_eof) raise(ErrorCode::NoCurrentRecord);
}

bool Recordset::bof() const {
    requireOpen();
    return m_bof;
}

bool Recordset::eof() const {
    requireOpen();
    return m_eof;
}

void Recordset::fetch() {
    m_eof = !m_cursor->fetch();
}

void Recordset::moveFirst() {
    requireOpen();
    m_cursor->rewind();
    fetch();
    m_bof = m_eof;
}

void Recordset::moveNext() {
    requireOpen();
    if (m_eof) raise(ErrorCode::NoCurrentRecord);
    m_bof = false;
    fetch();
}

int Recordset::fieldIndex(const QString& name) const {
    requireOpen();
    const auto it = m_index.constFind(name.toLower());
    if (it == m_index.cend()) raise(ErrorCode::ItemNotFound, name);
    return *it;
}

Variant Recordset::field(const QString& name) const {
    const int index = fieldIndex(name);
    requireRow();
    return m_cursor->value(index);
}

Variant Recordset::fieldAt(int index) const {
    requireOpen();
    if (index < 0 || index >= fieldCount()) raise(ErrorCode::ItemNotFound, QString::number(index));
    requireRow();
    return m_cursor->value(index);
}

std::shared_ptr<Field> Recordset::fieldObject(const QString& name) const {
    const int index = fieldIndex(name);
    return std::make_shared<Field>(std::static_pointer_cast<const Recordset>(shared_from_this()), index);
}

int Recordset::fieldCount() const {
    requireOpen();
    return m_cursor->columnCount();
}

QString Recordset::fieldName(int index) const {
    requireOpen();
    return m_cursor->columnName(index);
}

void Recordset::close() {
    requireOpen();
    m_cursor->close();
    m_cursor.reset();
    m_bof = m_eof = true;
}

} // namespace sarvo::db
