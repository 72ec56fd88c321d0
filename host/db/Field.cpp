// Live column of a record set; see Field.h.
#include "host/db/Field.h"

#include "host/db/Recordset.h"

namespace sarvo::db {

Field::Field(std::shared_ptr<const Recordset> recordset, int column)
    : DispatchObject(QStringLiteral("Field")), m_recordset(std::move(recordset)), m_column(column) {
    defineProperty(QStringLiteral("Value"), [this] { return value(); });
    defineProperty(QStringLiteral("Name"), [this] { return Variant(name()); });
}

Variant Field::value() const {
    return m_recordset->fieldAt(m_column);
}

QString Field::name() const {
    return m_recordset->fieldName(m_column);
}

} // namespace sarvo::db
