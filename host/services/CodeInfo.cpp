// Account record: the flags as late-bound read-only properties.
#include "host/services/CodeInfo.h"

namespace sarvo::host {

CodeInfo::CodeInfo() : DispatchObject(QStringLiteral("CodeInfo")) {
    const auto flag = [this](const char* name, const bool* member) {
        defineProperty(QLatin1String(name), [member] { return Variant(*member); });
    };
    flag("bExchange", &bExchange);
    flag("bMeasure", &bMeasure);
    flag("bAuxiliary", &bAuxiliary);
    flag("bPerson", &bPerson);
    flag("bCustomer", &bCustomer);
    flag("bSupplier", &bSupplier);
    flag("bDepartment", &bDepartment);
    defineProperty(QStringLiteral("cItemClass"), [this] { return Variant(cItemClass); });
    flag("bCusItem", &bCusItem);
    flag("bSupItem", &bSupItem);
    flag("bDeptItem", &bDeptItem);
    flag("bCusDept", &bCusDept);
    flag("bSupDept", &bSupDept);
    flag("bJournal", &bJournal);
    flag("bBank", &bBank);
    flag("bEnd", &bEnd);
    flag("bPersonItem", &bPersonItem);
    flag("bCusDeptItem", &bCusDeptItem);
    flag("bSupDeptItem", &bSupDeptItem);
    flag("bClosed", &bClosed);
}

void CodeInfo::clear() {
    for (bool* f : {&bExchange, &bMeasure, &bAuxiliary, &bPerson, &bCustomer, &bSupplier, &bDepartment,
                    &bCusItem, &bSupItem, &bDeptItem, &bCusDept, &bSupDept, &bJournal, &bBank, &bEnd,
                    &bPersonItem, &bCusDeptItem, &bSupDeptItem, &bClosed})
        *f = false;
    cItemClass.clear();
}

} // namespace sarvo::host
