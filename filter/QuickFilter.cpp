// Quick filter over code, name, English name and mnemonic.
#include "filter/QuickFilter.h"

#include "component/TextRules.h"
#include "component/basSarvo.h"

namespace sarvo::filter {

void QuickFilter::txtFilter_Change() {
    if (!m_form.bLoaded) return;
    m_form.trvDis().Nodes().Clear();
    const int32_t mode = m_form.optFilter(1).Value() ? 1 : 0;
    ApplyQuickFilter(Variant(trimBlanks(m_form.txtFilter().Text())), mode);
}

void QuickFilter::optFilter_Click(int16_t /*index*/) {
    txtFilter_Change();
}

QString QuickFilter::conditionFor(const QString& text, int32_t mode, const QString& closeFilter) {
    // The box refuses apostrophes, but the host's initial text reaches here too: doubled, an
    // apostrophe stays part of the pattern instead of ending the literal.
    const QString t = literalText(text);
    const QString T = t.toUpper();
    if (mode == 1) {
        return closeFilter + QStringLiteral(" ( ccode like N'%") + t + QStringLiteral("%'") +
               QStringLiteral(" or  ccode_name like N'%") + t + QStringLiteral("%'") +
               QStringLiteral(" or ccode_engl like N'%") + t + QStringLiteral("%'") +
               QStringLiteral(" or  chelp like N'%") + T + QStringLiteral("%' ) ");
    }
    return closeFilter + QStringLiteral(" ( ccode like N'") + t + QStringLiteral("%'") +
           QStringLiteral(" or  ccode_name like N'") + t + QStringLiteral("%'") +
           QStringLiteral(" or ccode_engl like N'") + t + QStringLiteral("%'") +
           QStringLiteral(" or  chelp like N'") + T + QStringLiteral("%' )");
}

void QuickFilter::ApplyQuickFilter(const Variant& vText, int32_t iMode) {
    if (vText.isBlank()) {
        m_form.sFilter.clear();
        m_form.BuildTreeRoots();
        return;
    }
    m_form.sFilter = conditionFor(vText.toString(), iMode, basSarvo::sCloseFilter());
    const ObjectRef attrib = basSarvo::oZwPub()->RefAttrib();
    const Variant extra = attrib ? attrib->getAt(2) : Variant();
    if (!extra.isBlank()) m_form.sFilter += extra.toString();
    m_form.trvDis().Nodes().Clear();
    m_form.BuildAccountTree();
}

} // namespace sarvo::filter
