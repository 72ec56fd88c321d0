// One column of a Recordset, as Fields(name) hands it out: Value reads the record set's current
// row each time, so a field object taken once follows the record set as it moves.
#pragma once

#include "runtime/DispatchObject.h"

#include <memory>

namespace sarvo::db {

class Recordset;

class Field : public DispatchObject {
public:
    Field(std::shared_ptr<const Recordset> recordset, int column);
    Variant value() const;
    QString name() const;

private:
    std::shared_ptr<const Recordset> m_recordset;
    int m_column;
};

} // namespace sarvo::db
