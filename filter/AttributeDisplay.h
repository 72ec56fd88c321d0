// The attribute display: the ten attribute boxes drawn highlighted for the attributes of the
// selected account. Only styles change, never values, so the filter never changes.
#pragma once

#include "dialog/SarvoDialog.h"
#include "host/services/CodeInfo.h"

#include <array>

namespace sarvo::filter {

class AttributeDisplay {
public:
    explicit AttributeDisplay(dialog::SarvoDialog& form) : m_form(form) {}
    void ShowAccountAttributes(const controls::QzNode& node);

    enum class Style { Unchanged, Plain, Highlight };
    // The style of each box for an account record; boxes 0-4 may stay as they were.
    static std::array<Style, 10> stylesFor(const host::CodeInfo& record);

private:
    dialog::SarvoDialog& m_form;
};

} // namespace sarvo::filter
