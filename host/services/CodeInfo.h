// The host's account record, filled by ZwPub::LoadCodeRecord: the attribute flags of one account
// in one year. Combination flags are true when the account carries all the kinds they name.
// Late-bound: every flag is a read-only property under its member name.
#pragma once

#include "runtime/DispatchObject.h"

namespace sarvo::host {

class CodeInfo : public DispatchObject {
public:
    CodeInfo();
    void clear(); // every flag false, no project class

    bool bExchange = false;  // foreign currency (cexch_name not null)
    bool bMeasure = false;   // quantity (cmeasure not null)
    bool bAuxiliary = false; // any auxiliary accounting at all
    bool bPerson = false;
    bool bCustomer = false;
    bool bSupplier = false;
    bool bDepartment = false;
    QString cItemClass; // project class; empty without project accounting
    bool bCusItem = false;
    bool bSupItem = false;
    bool bDeptItem = false;
    bool bCusDept = false;
    bool bSupDept = false;
    bool bJournal = false;
    bool bBank = false;
    bool bEnd = false;
    bool bPersonItem = false;
    bool bCusDeptItem = false;
    bool bSupDeptItem = false;
    bool bClosed = false;
};

} // namespace sarvo::host
