// Node texts and key letters of the account tree.
#include "tree/AccountText.h"

#include "component/basSarvo.h"

namespace sarvo::tree {

QString accountNodeText(const db::Recordset& record) {
    const bool chinese = basSarvo::oZwPub()->LangFlag() == 1;
    const Variant name = record.field(chinese ? QStringLiteral("cCode_name") : QStringLiteral("ccode_engl"));
    return record.field(QStringLiteral("cCode")).toDisplayText() + QLatin1Char(' ') + name.toDisplayText();
}

QChar gradeLetter(int grade) {
    return QChar(u'a' + grade);
}

} // namespace sarvo::tree
