// Highlighting the attributes of the selected account.
#include "filter/AttributeDisplay.h"

#include "component/basSarvo.h"
#include "host/controls/StyleService.h"

#include <initializer_list>

namespace sarvo::filter {

namespace {

const QString kHighlight = QStringLiteral("checkbutton.RGB-0-100-255");

} // namespace

std::array<AttributeDisplay::Style, 10> AttributeDisplay::stylesFor(const host::CodeInfo& r) {
    std::array<Style, 10> styles;
    styles.fill(Style::Unchanged);
    const auto apply = [&styles](std::initializer_list<int> highlight, std::initializer_list<int> plain) {
        for (int i : highlight)
            styles[static_cast<size_t>(i)] = Style::Highlight;
        for (int i : plain)
            styles[static_cast<size_t>(i)] = Style::Plain;
    };
    if (!r.bAuxiliary) {
        apply({}, {0, 1, 2, 3, 4});
    } else {
        // Later rows name more specific combinations and win over earlier ones.
        if (r.bPerson) apply({0}, {1, 2, 3, 4});
        if (r.bCustomer) apply({1}, {0, 2, 3, 4});
        if (r.bDepartment) apply({3}, {0, 1, 2, 4});
        if (!r.cItemClass.isEmpty()) {
            if (r.bPerson)
                apply({4, 0}, {1, 2, 3});
            else
                apply({4}, {1, 2, 3, 0});
        }
        if (r.bSupplier) apply({2}, {0, 1, 3, 4});
        if (r.bCusDept) apply({1, 3}, {0, 2, 4});
        if (r.bDeptItem) apply({3, 4}, {0, 1, 2});
        if (r.bCusItem) apply({1, 4}, {0, 2, 3});
        if (r.bSupDept) apply({2, 3}, {0, 1, 4});
        if (r.bSupItem) apply({2, 4}, {0, 1, 3});
        if (r.bPersonItem) apply({0, 4}, {1, 2, 3});
        if (r.bCusDeptItem) apply({1, 3, 4}, {2});
        if (r.bSupDeptItem) apply({2, 3, 4}, {1});
    }
    const bool flags[5] = {r.bExchange, r.bMeasure, r.bEnd, r.bJournal, r.bBank};
    for (int i = 0; i < 5; ++i)
        styles[static_cast<size_t>(5 + i)] = flags[i] ? Style::Highlight : Style::Plain;
    return styles;
}

void AttributeDisplay::ShowAccountAttributes(const controls::QzNode& node) {
    auto& styleService = controls::StyleService::Instance();
    for (int i = 0; i < 10; ++i)
        styleService.ResetStyle(m_form.chkChoice(i).hWnd());

    const auto allPlain = [&] {
        for (int i = 0; i < 10; ++i)
            styleService.SetStyle(m_form.chkChoice(i).hWnd(), QString());
    };
    const QString text = node.Text();
    const int blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0) {
        allPlain();
        for (int i = 0; i < 10; ++i)
            m_form.chkChoice(i).Refresh();
        return;
    }
    const QString code = text.left(blank);
    const auto zwPub = basSarvo::oZwPub();
    if (zwPub->CodeName(code).isEmpty()) {
        allPlain();
        return;
    }
    const int16_t year = zwPub->CurrentYear();
    host::CodeInfo record;
    zwPub->LoadCodeRecord(code, record, year);
    const auto styles = stylesFor(record);
    for (int i = 0; i < 10; ++i) {
        const Style s = styles[static_cast<size_t>(i)];
        if (s != Style::Unchanged)
            styleService.SetStyle(m_form.chkChoice(i).hWnd(), s == Style::Highlight ? kHighlight : QString());
    }
    for (int i = 0; i < 10; ++i)
        m_form.chkChoice(i).Refresh();
}

} // namespace sarvo::filter
