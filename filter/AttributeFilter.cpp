// Attribute filter conditions and the exclusion rule among the auxiliary-accounting boxes.
#include "filter/AttributeFilter.h"

#include "component/basSarvo.h"

namespace sarvo::filter {

namespace {

struct BoxCondition {
    const char* first; // when it is the first term
    const char* later; // when a term precedes it
};

// Indexed by box. Box 0 is always first when ticked; its later form is never used.
constexpr BoxCondition kConditions[10] = {
    {" bperson=1", " and bperson=1"},
    {" bcus=1", " and bcus=1"},
    {" bsup=1", " and bsup=1"},
    {" bdept=1", " and bdept=1"},
    {" bitem=1", " and bitem=1"},
    {" (not cexch_name is null) ", " and ( not cexch_name is null) "},
    {" (not cmeasure is null) ", " and (not cmeasure is null) "},
    {" bend=1", " and bend=1"},
    {" br=1", " and br=1"},
    {" be=1", " and be=1"},
};

// End level comes last, after journal and bank.
constexpr int kVisitOrder[10] = {0, 1, 2, 3, 4, 5, 6, 8, 9, 7};

bool excludes(int a, int b) {
    if (a > b) std::swap(a, b);
    return (a == 0 && (b == 1 || b == 2 || b == 3)) || (a == 1 && b == 2);
}

} // namespace

std::array<bool, 5> AttributeFilter::enabledAuxiliaryBoxes(const std::array<bool, 5>& ticked) {
    std::array<bool, 5> enabled{};
    for (int j = 0; j < 5; ++j) {
        enabled[static_cast<size_t>(j)] = true;
        for (int k = 0; k < 5; ++k)
            if (k != j && ticked[static_cast<size_t>(k)] && excludes(k, j))
                enabled[static_cast<size_t>(j)] = false;
    }
    return enabled;
}

void AttributeFilter::chkChoice_Click(int16_t index) {
    if (index < 0 || index > 4) return;
    std::array<bool, 5> ticked{};
    for (int i = 0; i < 5; ++i)
        ticked[static_cast<size_t>(i)] = m_form.chkChoice(i).Value() == 1;
    const auto enabled = enabledAuxiliaryBoxes(ticked);
    for (int i = 0; i < 5; ++i)
        if (i != index) m_form.chkChoice(i).SetEnabled(enabled[static_cast<size_t>(i)]);
}

QString AttributeFilter::conditionFor(const std::array<bool, 10>& ticked, bool notClosed) {
    QString condition;
    for (const int box : kVisitOrder) {
        if (!ticked[static_cast<size_t>(box)]) continue;
        condition += QLatin1String(condition.isEmpty() ? kConditions[box].first : kConditions[box].later);
    }
    if (notClosed)
        condition += condition.isEmpty() ? QStringLiteral(" bclose=0") : QStringLiteral(" and bclose=0");
    return condition;
}

void AttributeFilter::cmdGL_Click() {
    for (int i = 0; i < 10; ++i)
        m_form.chkChoice(i).SetForeColor(Qt::black);
    m_form.sFilter.clear();
    std::array<bool, 10> ticked{};
    for (int i = 0; i < 10; ++i)
        ticked[static_cast<size_t>(i)] = m_form.chkChoice(i).Value() == 1;
    const bool notClosed = m_form.ChkFfc().Value() == 1;
    m_form.sFilter = conditionFor(ticked, notClosed);
    basSarvo::sCloseFilter() = notClosed ? QStringLiteral(" bclose=0 and ") : QStringLiteral("  ");
    m_form.trvDis().Nodes().Clear();
    if (!m_form.sFilter.isEmpty())
        m_form.BuildAccountTree();
    else
        m_form.BuildTreeRoots();
    if (m_form.trvDis().CanFocus()) m_form.trvDis().SetFocus();
}

void AttributeFilter::ResetAttributeFilter(dialog::SarvoDialog& form) {
    for (int i = 0; i < 10; ++i) {
        form.chkChoice(i).SetForeColor(Qt::black);
        form.chkChoice(i).SetValue(0);
    }
    // Unticking in code raises no click, so the exclusion rule is applied here: with nothing
    // ticked no box stays disabled by a tick that is gone.
    const auto enabled = enabledAuxiliaryBoxes({});
    for (int i = 0; i < 5; ++i)
        form.chkChoice(i).SetEnabled(enabled[static_cast<size_t>(i)]);
    form.sFilter.clear();
}

} // namespace sarvo::filter
