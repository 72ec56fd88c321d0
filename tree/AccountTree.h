// Filling the account tree: the whole filtered tree (flat or as a hierarchy over a temporary
// table), the branches of the hierarchy, and one grade level of the unfiltered tree.
#pragma once

#include "dialog/SarvoDialog.h"

#include <vector>

namespace sarvo::host {
class ZwPub;
}

namespace sarvo::tree {

class AccountTree {
public:
    explicit AccountTree(dialog::SarvoDialog& form) : m_form(form) {}

    void BuildAccountTree();
    void LoadFilteredChildren(const QString& sKey, int16_t iGrade);
    void LoadGradeLevel(const QString& sCode, const QString& sClass, int16_t iGrade);

private:
    // Position of the class whose node text the host maps to the record's cClass, or -1; one host
    // call per class tried.
    int classOfRecord(const host::ZwPub& zwPub, const Variant& cClass,
                      const std::vector<QString>& classTexts) const;
    void selectFirstAccount(int classCount);
    dialog::SarvoDialog& m_form;
};

} // namespace sarvo::tree
