// The floor: what a filter change has to produce, computed in memory over the year's rows with
// nothing in between. The same conditions as the dialog's (the quick filter's four LIKE tests
// with the same LIKE meaning, closed accounts hidden; or the not-closed attribute filter), the
// same node keys, parents and texts, in the flat layout or with every ancestor in the hierarchy.
// Its result is also the expected tree the benchmark checks the dialog's tree against.
#pragma once

#include "bench/AccountRows.h"

#include <QString>
#include <vector>

namespace sarvo::bench {

struct FilterQuery {
    enum class Kind { Quick, NotClosed };
    Kind kind = Kind::Quick;
    QString text;          // the quick filter's typed text, trimmed
    bool contains = false; // match anywhere (else at the beginning)

    static FilterQuery quick(const QString& text, bool contains) { return {Kind::Quick, text, contains}; }
    static FilterQuery notClosed() { return {Kind::NotClosed, {}, false}; }
};

// One account node: key, the key of the node it hangs under, text.
struct TreeLine {
    QString key;
    QString parent;
    QString text;
    bool operator==(const TreeLine&) const = default;
};

class FilterFloor {
public:
    // rows must outlive the floor. englishNames: node texts from ccode_engl (else ccode_name).
    // Raises 5 when a code holds a letter or a LIKE wildcard: ancestors are found by plain
    // byte prefixes, which is what the tree's prefix join means for such codes only.
    explicit FilterFloor(const AccountRows& rows, bool englishNames = false);

    // Row indexes of the accounts the filter selects, in code order.
    std::vector<int> matching(const FilterQuery& query) const;
    // Account nodes of the tree the filter builds, in the order the tree adds them.
    std::vector<TreeLine> tree(const FilterQuery& query, bool hierarchy) const;

    // A node's text: code, one blank, name.
    QString nodeText(const AccountRow& row) const;

private:
    std::vector<TreeLine> flat(const std::vector<int>& matches) const;
    std::vector<TreeLine> hierarchy(const std::vector<int>& matches) const;

    const AccountRows& m_rows;
    bool m_englishNames;
};

} // namespace sarvo::bench
