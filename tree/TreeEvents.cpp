// Node click and double click of the account tree.
#include "tree/TreeEvents.h"

#include "component/TextRules.h"
#include "component/basSarvo.h"
#include "tree/AccountFields.h"

namespace sarvo::tree {

void TreeEvents::trvDis_DblClick() {
    const controls::QzNode selected = m_form.trvDis().SelectedItem();
    if (selected.isNull()) return;
    const QString key = selected.Key();
    if (selected.Children() == 0 && !key.startsWith(QLatin1Char('a')) && !key.startsWith(QLatin1Char('z')))
        m_form.cmdButton_Click(0);
}

void TreeEvents::trvDis_NodeClick(const controls::QzNode& clicked) {
    controls::QzNode node = clicked;
    if (!m_form.sFilter.isEmpty()) {
        if (node.Children() > 0) {
            node.SetSelected(true);
            node.EnsureVisible();
        }
        m_form.ShowAccountAttributes(node);
        return;
    }
    if (node.Children() > 0) {
        m_form.ShowAccountAttributes(node);
        return;
    }
    const QString key = node.Key();
    if (key.isEmpty()) return;
    const QChar letter = key.at(0);
    if (letter == u'y' || letter == u'n') {
        m_form.ShowAccountAttributes(node);
    } else if (letter == u'z') {
        LoadRecentlyUsed(node);
        m_form.ShowAccountAttributes(node);
    } else if (letter == u'a') {
        const int16_t position = static_cast<int16_t>(Variant(key.mid(1)).toInteger() - 1);
        const QString className = basSarvo::oZwPub()->codeClasses()->Item(position);
        m_form.LoadGradeLevel(QString(), className, 1);
    } else if (letter >= u'b' && letter <= u'm') {
        const int16_t gradeBelow = static_cast<int16_t>(letter.unicode() - u'a' + 1);
        m_form.LoadGradeLevel(key.mid(1), QString(), gradeBelow);
    }
}

void TreeEvents::LoadRecentlyUsed(const controls::QzNode& group) {
    const QString user = basSarvo::oZwPub()->CurrentUser()->getAt(1).toDisplayText();
    const QString statement =
        QStringLiteral("select cuser,code.ccode as ccode,code.ccode_name as ccode_name,code.ccode_engl ") +
        QStringLiteral("as ccode_engl from GL_mcodeused,code where cuser=N'") + literalText(user) +
        QStringLiteral("'") + QStringLiteral(" and GL_mcodeused.ccode=code.ccode and code.iyear=") +
        QString::number(basSarvo::iYear()) + QStringLiteral("order by GL_mcodeused.ccode");
    auto records = basSarvo::GetConnection()->execute(statement, -1);
    if (records->eof()) return;
    auto& nodes = m_form.trvDis().Nodes();
    records->moveFirst();
    const AccountFields fields(*records);
    while (!records->eof()) {
        const QString key = fields.key(QLatin1Char('y'));
        nodes.Add(group.Key(), 4, key, fields.nodeText(QStringView(key).mid(1)));
        records->moveNext();
    }
    records->close();
}

} // namespace sarvo::tree
