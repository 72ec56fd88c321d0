// The attribute filter: ten attribute boxes, the not-closed box and the filter button. Ticked
// boxes become one condition; the auxiliary-accounting boxes that exclude each other disable
// each other.
#pragma once

#include "dialog/SarvoDialog.h"

#include <array>

namespace sarvo::filter {

class AttributeFilter {
public:
    explicit AttributeFilter(dialog::SarvoDialog& form) : m_form(form) {}

    void chkChoice_Click(int16_t index);
    void cmdGL_Click();

    // The condition for ticked boxes (index 0-9) and the not-closed box.
    static QString conditionFor(const std::array<bool, 10>& ticked, bool notClosed);
    // Which of boxes 0-4 stay enabled when these of them are ticked.
    static std::array<bool, 5> enabledAuxiliaryBoxes(const std::array<bool, 5>& ticked);
    // Clears every attribute box and the filter condition (after a failed confirmation or an edit).
    static void ResetAttributeFilter(dialog::SarvoDialog& form);

private:
    dialog::SarvoDialog& m_form;
};

} // namespace sarvo::filter
