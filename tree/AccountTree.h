// Filling the account tree: the whole filtered tree (flat or as a hierarchy over a temporary
// table), the branches of the hierarchy, and one grade level of the unfiltered tree.
#pragma once

#include "dialog/SarvoDialog.h"

#include <deque>
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
    // The statement for the children of one node of the filtered hierarchy.
    const QString& childStatement(QStringView code, int grade);

    dialog::SarvoDialog& m_form;
    QString m_nodeText; // the text of the node being added, its room kept from node to node
    // The keys of the nodes being added, one per level of the recursion (a node's key is its
    // children's parent key while they load), their room kept from node to node. A deque: a
    // deeper level never moves a shallower one's string.
    std::deque<QString> m_keys;
    size_t m_depth = 0;
    QString& keyBuffer(size_t depth) {
        while (m_keys.size() <= depth)
            m_keys.emplace_back();
        return m_keys[depth];
    }
    const QString& childTail(int grade);
    std::vector<QString> m_tails; // per grade, for m_tailYear
    int m_tailYear = -1;
    QString m_otherTail; // for a grade out of the usual range
    QString m_childStatement;
    QString m_childTable; // the temporary table m_childStatement's first part names
    qsizetype m_childPrefix = 0;
};

} // namespace sarvo::tree
