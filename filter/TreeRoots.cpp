// Top level of the unfiltered tree.
#include "filter/TreeRoots.h"

#include "component/basSarvo.h"

namespace sarvo::filter {

bool TreeRoots::classShown(bool kindSplit, const QString& condition, const QString& kind) {
    if (!kindSplit) return true;
    const bool budgetKind = kind.startsWith(QLatin1String("YS"), Qt::CaseSensitive);
    if (condition.contains(QLatin1Char('<'))) return !budgetKind;
    if (condition.contains(QLatin1Char('>'))) return budgetKind;
    return true;
}

void TreeRoots::BuildTreeRoots() {
    auto& nodes = m_form.trvDis().Nodes();
    nodes.Add(QStringLiteral("z"), basSarvo::GetResString(QStringLiteral("Host.GL.Sarvo.VBRes.Common")));
    const auto zwPub = basSarvo::oZwPub();
    const int n = zwPub->ClassCount();
    const auto classes = zwPub->codeClasses();
    for (int i = 0; i < n; ++i) {
        const auto position = static_cast<int16_t>(i);
        bool shown = true;
        if (zwPub->ClassKindSplit()) {
            const ObjectRef attrib = zwPub->RefAttrib();
            const QString condition = attrib ? attrib->getAt(2).toDisplayText() : QString();
            shown = classShown(true, condition, classes->ClassKind(position));
        }
        if (shown)
            nodes.Add(QStringLiteral("a") + QString::number(i + 1),
                      m_form.DisplayText(classes->Item(position)));
    }
}

} // namespace sarvo::filter
