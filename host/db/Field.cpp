// Live column of a record set; see Field.h.
#include "host/db/Field.h"

#include "host/db/Recordset.h"

namespace sarvo::db {

namespace {

const DispatchObject::ClassMembers& fieldMembers() {
    static const DispatchObject::ClassMembers members = [] {
        DispatchObject::ClassMembers m;
        m.property(QStringLiteral("Value"), [](DispatchObject& o) { return static_cast<Field&>(o).value(); });
        m.property(QStringLiteral("Name"),
                   [](DispatchObject& o) { return Variant(static_cast<Field&>(o).name()); });
        return m;
    }();
    return members;
}

} // namespace

Field::Field(std::shared_ptr<const Recordset> recordset, int column)
    : DispatchObject(QStringLiteral("Field"), &fieldMembers()), m_recordset(std::move(recordset)),
      m_column(column) {}

Variant Field::value() const {
    return m_recordset->fieldAt(m_column);
}

QString Field::name() const {
    return m_recordset->fieldName(m_column);
}

} // namespace sarvo::db
