// The unfiltered tree's top level: the recently used group and one node per account class,
// with the classes of a kind hidden as the host's extra condition asks.
#pragma once

#include "dialog/SarvoDialog.h"

namespace sarvo::filter {

class TreeRoots {
public:
    explicit TreeRoots(dialog::SarvoDialog& form) : m_form(form) {}
    void BuildTreeRoots();

    // Whether a class of this kind code is shown for the host's extra condition.
    static bool classShown(bool kindSplit, const QString& condition, const QString& kind);

private:
    dialog::SarvoDialog& m_form;
};

} // namespace sarvo::filter
