// The quick filter: every change of the filter text or of the match mode clears the tree and
// rebuilds it, as the unfiltered top level for an empty text or as the filtered tree.
#pragma once

#include "dialog/SarvoDialog.h"

namespace sarvo::filter {

class QuickFilter {
public:
    explicit QuickFilter(dialog::SarvoDialog& form) : m_form(form) {}

    void txtFilter_Change();
    void optFilter_Click(int16_t index);
    void ApplyQuickFilter(const Variant& vText, int32_t iMode);

    // The condition for a text, match mode and close-filter prefix (without the host's extra).
    static QString conditionFor(const QString& text, int32_t mode, const QString& closeFilter);

private:
    dialog::SarvoDialog& m_form;
};

} // namespace sarvo::filter
