// ADO record-set semantics over a Cursor; see Recordset.h.
#include "host/db/Recordset.h"

#include "host/db/ColumnIndex.h"
#include "host/db/Cursor.h"
#include "host/db/EngineError.h"
#include "host/db/Field.h"
#include "runtime/RuntimeError.h"

namespace sarvo::db {

namespace {

// The late-bound members, once for every record set.
const DispatchObject::ClassMembers& recordsetMembers() {
    static const DispatchObject::ClassMembers members = [] {
        DispatchObject::ClassMembers m;
        m.property(QStringLiteral("BOF"),
                   [](DispatchObject& o) { return Variant(static_cast<Recordset&>(o).bof()); });
        m.property(QStringLiteral("EOF"),
                   [](DispatchObject& o) { return Variant(static_cast<Recordset&>(o).eof()); });
        m.property(QStringLiteral("State"), [](DispatchObject& o) {
            return Variant(static_cast<int32_t>(static_cast<Recordset&>(o).isOpen() ? 1 : 0));
        });
        m.method(QStringLiteral("MoveFirst"), [](DispatchObject& o, VariantList&) {
            static_cast<Recordset&>(o).moveFirst();
            return Variant();
        });
        m.method(QStringLiteral("MoveNext"), [](DispatchObject& o, VariantList&) {
            static_cast<Recordset&>(o).moveNext();
            return Variant();
        });
        m.method(QStringLiteral("Close"), [](DispatchObject& o, VariantList&) {
            static_cast<Recordset&>(o).close();
            return Variant();
        });
        m.method(QStringLiteral("Fields"), [](DispatchObject& o, VariantList& args) {
            auto& self = static_cast<Recordset&>(o);
            if (args.isEmpty())
                raise(ErrorCode::InvalidProcedureCall, QStringLiteral("Fields needs a column"));
            const Variant& key = args[0];
            const int index = key.isNumeric() ? key.toLong() : self.fieldIndex(key.toString());
            if (!self.isOpen()) raise(ErrorCode::ObjectClosed);
            if (index < 0 || index >= self.fieldCount()) raise(ErrorCode::ItemNotFound, key.toDisplayText());
            return Variant(std::make_shared<Field>(
                std::static_pointer_cast<const Recordset>(self.shared_from_this()), index));
        });
        m.method(QStringLiteral("Collect"), [](DispatchObject& o, VariantList& args) {
            auto& self = static_cast<Recordset&>(o);
            if (args.isEmpty())
                raise(ErrorCode::InvalidProcedureCall, QStringLiteral("Collect needs a column"));
            return args[0].isNumeric() ? self.fieldAt(args[0].toLong()) : self.field(args[0].toString());
        });
        return m;
    }();
    return members;
}

} // namespace

Recordset::Recordset() : DispatchObject(QStringLiteral("Recordset"), &recordsetMembers()) {}

Recordset::Recordset(std::unique_ptr<Cursor> cursor) : Recordset() {
    m_cursor = std::move(cursor);
    if (!m_cursor) return;
    m_columns = m_cursor->columnIndex();
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
    if (m_bof || m_eof) throw EngineError(FailureKind::NoRow, QString(), 0, {}, ErrorCode::NoCurrentRecord);
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
    if (m_eof) throw EngineError(FailureKind::NoRow, QString(), 0, {}, ErrorCode::NoCurrentRecord);
    m_bof = false;
    fetch();
}

int Recordset::fieldIndex(const QString& name) const {
    requireOpen();
    const int index = m_columns->find(name);
    if (index < 0) raise(ErrorCode::ItemNotFound, name);
    return index;
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

bool Recordset::textBytesAt(int index, QByteArray* out) const {
    requireOpen();
    if (index < 0 || index >= fieldCount()) raise(ErrorCode::ItemNotFound, QString::number(index));
    requireRow();
    return m_cursor->textBytes(index, out);
}

bool Recordset::wholeNumberAt(int index, qint64* out) const {
    requireOpen();
    if (index < 0 || index >= fieldCount()) raise(ErrorCode::ItemNotFound, QString::number(index));
    requireRow();
    return m_cursor->wholeNumber(index, out);
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
