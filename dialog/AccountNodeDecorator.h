// How the account tree's nodes look beyond their texts: in a tree built from typed text, the
// places the text matches in each account's code and name; in the hierarchy, the ancestors that
// are there only because accounts below them match; everywhere, closed accounts greyed; and
// each node's tooltip (whole text, name, English name, path, state).
//
// The statements the tree's build sends are fixed, so nothing here adds to them: whether an
// account is closed, its names, and whether it passes the condition the tree was built with are
// asked of the host (AccountLookup) for the rows the tree paints, one query per paint at most,
// and kept per node until the tree is rebuilt.
#pragma once

#include "host/controls/NodeDecorator.h"

namespace sarvo::dialog {

class AccountNodeDecorator : public controls::NodeDecorator {
public:
    // What the tree on screen was built from.
    struct Filter {
        QString typed;          // the quick filter's text, blanks trimmed; empty for other trees
        int mode = 0;           // 1 contains, else begins with
        QString condition;      // the condition the accounts passed (sFilter); empty: unfiltered
        bool hierarchy = false; // ancestors of matching accounts are shown too
    };

    void setFilter(const Filter& filter) { m_filter = filter; }
    const Filter& filter() const { return m_filter; }

    controls::NodeLook look(const QString& key, const QString& text) const override;
    std::vector<controls::NodeLook>
    looks(const std::vector<std::pair<QString, QString>>& nodes) const override;
    QString toolTip(const QString& key, const QString& text, const QStringList& ancestors,
                    const controls::NodeLook& look) const override;

    // Account nodes: a recently used entry ("y") or an account of any grade ("b" to "n").
    static bool isAccountKey(const QString& key);

private:
    Filter m_filter;
};

} // namespace sarvo::dialog
