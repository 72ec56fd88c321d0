// Account tree construction. Statement texts are the host contract and are sent exactly as
// built here; the data layer renders them for its engine.
#include "tree/AccountTree.h"

#include "component/TextRules.h"
#include "component/basSarvo.h"
#include "runtime/RuntimeError.h"
#include "tree/AccountFields.h"
#include "tree/AccountText.h"

#include <QStringBuilder>

#include <algorithm>

namespace sarvo::tree {

namespace {

QString yearText() {
    return QString::number(basSarvo::iYear());
}

// The code of a node: its text before the first blank. Raises 5 when there is no blank, as
// cutting at a missing blank does in the host language.
QString codeOfNodeText(const QString& text) {
    const int blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0) raise(ErrorCode::InvalidProcedureCall, QStringLiteral("no blank in \"%1\"").arg(text));
    return text.left(blank);
}

// The decimal digits of a number, as QString::number writes them, in the caller's buffer.
QStringView numberText(int value, char16_t (&digits)[12]) {
    int at = 12;
    const bool negative = value < 0;
    unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        digits[--at] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) digits[--at] = u'-';
    return QStringView(digits + at, 12 - at);
}

// "%' and code.igrade=G and code.iYear=Y order by code.ccode ": a child statement after its code.
QString tailText(int grade, int year) {
    char16_t gradeDigits[12];
    char16_t yearDigits[12];
    return u"%' and code.igrade=" % numberText(grade, gradeDigits) % u" and code.iYear=" %
           numberText(year, yearDigits) % u" order by code.ccode ";
}

} // namespace

int AccountTree::classOfRecord(const host::ZwPub& zwPub, const Variant& cClass,
                               const std::vector<QString>& classTexts) const {
    static const QString codeClass = QStringLiteral("Enum.GL.CodeClass");
    const QString value = cClass.toDisplayText();
    for (size_t i = 0; i < classTexts.size(); ++i) {
        if (QStringView(zwPub.EnumText(codeClass, classTexts[i])) == QStringView(value))
            return static_cast<int>(i);
    }
    return -1;
}

void AccountTree::BuildAccountTree() {
    auto& nodes = m_form.trvDis().Nodes();
    const auto zwPub = basSarvo::oZwPub();
    const int n = zwPub->ClassCount();
    std::vector<controls::QzNode> aClassNode;
    aClassNode.reserve(static_cast<size_t>(n) + 1);

    nodes.Add(QStringLiteral("z"), basSarvo::GetResString(QStringLiteral("Host.GL.Sarvo.VBRes.Common")));
    const auto classes = zwPub->codeClasses();
    for (int i = 0; i < n; ++i) {
        aClassNode.push_back(nodes.Add(QStringLiteral("a") + QString::number(i + 1),
                                       m_form.DisplayText(classes->Item(static_cast<int16_t>(i)))));
    }

    // The class nodes' keys and texts, read once: nothing changes them while the tree is built.
    std::vector<QString> classKeys;
    std::vector<QString> classTexts;
    classKeys.reserve(aClassNode.size());
    classTexts.reserve(aClassNode.size());
    for (const controls::QzNode& node : aClassNode) {
        classKeys.push_back(node.Key());
        classTexts.push_back(node.Text());
    }

    const QString suffix = trimBlanks(m_form.sFilter).isEmpty()
                               ? QString()
                               : QStringLiteral(" and (") + m_form.sFilter + QLatin1Char(')');

    if (m_form.chkTreeDisp().Value() == 0) {
        auto records =
            basSarvo::GetConnection()->execute(QStringLiteral("select * from code where  iYear=") +
                                                   yearText() + suffix + QStringLiteral(" order by ccode "),
                                               -1);
        if (records->eof()) return;
        records->moveFirst();
        const AccountFields fields(*records);
        while (!records->eof()) {
            const int cls = classOfRecord(*zwPub, fields.accountClass(), classTexts);
            if (cls >= 0) {
                const QString& key = fields.key(QLatin1Char('b'), keyBuffer(0));
                nodes.Add(classKeys[static_cast<size_t>(cls)], 4, key,
                          fields.nodeText(QStringView(key).mid(1), m_nodeText));
            }
            records->moveNext();
        }
    } else {
        const auto login = basSarvo::oLogin();
        m_form.sTempTable = QStringLiteral("tempdb..[") +
                            bracketedName(login->LoginId() + login->LoginStamp().toDisplayText()) +
                            QLatin1Char(']');
        const QString& table = m_form.sTempTable;
        basSarvo::GetConnection()->tryExecute(QStringLiteral("drop table ") + table);
        auto connection = basSarvo::GetConnection();
        connection->setCursorLocation(db::Connection::UseClient);
        basSarvo::GetConnection()->execute(QStringLiteral("select  * into ") + table +
                                               QStringLiteral("  from code  where  iYear=") + yearText() +
                                               suffix + QStringLiteral(" order by ccode "),
                                           -1);
        auto records = basSarvo::GetConnection()->execute(
            QStringLiteral(
                "select distinct "
                "code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,code.igrade  from ") +
                table + QStringLiteral(" inner join code on ") + table +
                QStringLiteral(".ccode like code.ccode+'%' where code.igrade=1 and code.iYear=") +
                yearText() + QStringLiteral(" order by code.ccode "),
            -1);
        const AccountFields fields(*records);
        while (!records->eof()) {
            const int cls = classOfRecord(*zwPub, fields.accountClass(), classTexts);
            if (cls >= 0) {
                const QString& key = fields.key(QLatin1Char('b'), keyBuffer(0));
                nodes.Add(classKeys[static_cast<size_t>(cls)], 4, key,
                          fields.nodeText(QStringView(key).mid(1), m_nodeText));
                LoadFilteredChildren(key, fields.grade());
            }
            records->moveNext();
        }
        basSarvo::GetConnection()->tryExecute(QStringLiteral("drop table ") + table);
    }

    for (int p = 1; p <= n; ++p) {
        controls::QzNode node = nodes.Item(p + 1);
        if (node.Children() > 0) node.SetExpanded(true);
    }
    selectFirstAccount(n);
}

void AccountTree::selectFirstAccount(int classCount) {
    auto& nodes = m_form.trvDis().Nodes();
    bool trapped = true; // the first failure moves on to the next class; a second one is not caught
    for (int p = 1; p <= classCount; ++p) {
        controls::QzNode classNode = nodes.Item(p + 1);
        if (!classNode.Expanded()) continue;
        classNode.Child().SetSelected(true);
        try {
            const QString code = codeOfNodeText(m_form.trvDis().SelectedItem().Text());
            if (!basSarvo::oZwPub()->CodeCheck(code, 29)) m_form.trvDis_NodeClick(classNode);
            controls::QzNode first = classNode.Child();
            m_form.ShowAccountAttributes(first);
            if (!first.Selected()) first.SetSelected(true);
            controls::QzNode current = first;
            while (current.Children() > 0) {
                current = current.Child();
                if (!current.Selected()) current.SetSelected(true);
            }
            return;
        } catch (const std::exception&) {
            if (!trapped) throw;
            trapped = false;
        }
    }
}

void AccountTree::LoadFilteredChildren(const QString& sKey, int16_t iGrade) {
    if (iGrade == 1) m_form.bMatchExpanded = false;
    auto& nodes = m_form.trvDis().Nodes();
    const QString& statement = childStatement(QStringView(sKey).mid(1), iGrade + 1);
    auto records = basSarvo::GetConnection()->execute(statement, -1);
    const AccountFields fields(*records);
    // This level's children take the next key string; the depth is back where it was on the way out.
    struct Level {
        size_t& depth;
        ~Level() { --depth; }
    } level{++m_depth};
    QString& key = keyBuffer(m_depth);
    while (!records->eof()) {
        fields.key(QLatin1Char('b'), key);
        nodes.Add(sKey, 4, key, fields.nodeText(QStringView(key).mid(1), m_nodeText));
        LoadFilteredChildren(key, fields.grade());
        records->moveNext();
    }

    const QString typed = trimBlanks(m_form.txtFilter().Text());
    // The host language's InStr finds an empty text at position 1, so it never counts as inside.
    const int found = typed.isEmpty() ? 0 : sKey.indexOf(typed) + 1;
    const bool isTyped = sKey.size() == typed.size() + 1 && sKey.startsWith(QLatin1Char('b')) &&
                         QStringView(sKey).mid(1) == typed;
    const bool matches = isTyped || (m_form.optFilter(1).Value() && found > 1) || m_form.bMatchExpanded;
    if (matches) {
        nodes.Item(sKey).SetExpanded(true);
        m_form.bMatchExpanded = true;
    }
}

// Everything before the code is the same for every node of a build: it stays in the buffer and
// only the rest is written again, in place (a build sends one of these per node). Each
// statement is done with before the next is written; whoever keeps a copy keeps its own.
const QString& AccountTree::childStatement(QStringView code, int grade) {
    const QString& table = m_form.sTempTable;
    if (m_childPrefix == 0 || m_childTable != table) {
        m_childTable = table;
        m_childStatement =
            QStringLiteral(
                "select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,"
                "code.igrade  from ") %
            table % QStringLiteral(" inner join code on ") % table %
            QStringLiteral(".ccode like code.ccode+'%' where code.ccode like '");
        m_childPrefix = m_childStatement.size();
    }
    // A plain look for the quote: a code is a few characters, asked once per node.
    const bool hasQuote = std::find(code.begin(), code.end(), QLatin1Char('\'')) != code.end();
    const QString quoted = hasQuote ? literalText(code.toString()) : QString();
    const QStringView pattern = quoted.isNull() ? code : QStringView(quoted);
    const QString& tail = childTail(grade);
    m_childStatement.resize(m_childPrefix + pattern.size() + tail.size());
    QChar* out = std::copy(pattern.begin(), pattern.end(), m_childStatement.data() + m_childPrefix);
    std::copy(tail.begin(), tail.end(), out);
    return m_childStatement;
}

// What follows the code in a child statement: the same for every node of a grade while the year
// stays, so each grade's is written once.
const QString& AccountTree::childTail(int grade) {
    const int year = basSarvo::iYear();
    if (year != m_tailYear) {
        m_tails.clear();
        m_tailYear = year;
    }
    if (grade < 0 || grade >= 64) {
        m_otherTail = tailText(grade, year);
        return m_otherTail;
    }
    if (m_tails.size() <= static_cast<size_t>(grade)) m_tails.resize(static_cast<size_t>(grade) + 1);
    QString& tail = m_tails[static_cast<size_t>(grade)];
    if (tail.isNull()) tail = tailText(grade, year);
    return tail;
}

void AccountTree::LoadGradeLevel(const QString& sCode, const QString& sClass, int16_t iGrade) {
    const auto zwPub = basSarvo::oZwPub();
    QString parentKey;
    QString statement;
    if (iGrade == 1) {
        parentKey = QStringLiteral("a");
        const int n = zwPub->ClassCount();
        const auto classes = zwPub->codeClasses();
        for (int i = 0; i < n; ++i) {
            if (classes->Item(static_cast<int16_t>(i)) == sClass) {
                parentKey = QStringLiteral("a") + QString::number(i + 1);
                break;
            }
        }
        const QString column = zwPub->LangFlag() == 1 ? QStringLiteral("cclass") : QStringLiteral("cClass");
        statement = QStringLiteral("select * from code where ") + basSarvo::sCloseFilter() +
                    QStringLiteral(" igrade=1 and ") + column + QStringLiteral("=N'") + literalText(sClass) +
                    QStringLiteral("' and iYear=") + yearText() + QStringLiteral(" order by ccode");
    } else if (iGrade >= 2 && iGrade <= 13) {
        const int length = zwPub->GradeCodeLen(iGrade - 2);
        const QString parentCode = sCode.left(length);
        parentKey = gradeLetter(iGrade - 1) + parentCode;
        statement = QStringLiteral("select * from code where ") + basSarvo::sCloseFilter() +
                    QStringLiteral(" igrade =") + QString::number(iGrade) +
                    QStringLiteral(" and ccode like N'") + literalText(parentCode) +
                    QStringLiteral("%' and iYear=") + yearText() + QStringLiteral(" order by ccode");
    } else {
        return;
    }

    auto records = basSarvo::GetConnection()->execute(statement, -1);
    if (!(records->bof() && records->eof())) {
        auto& nodes = m_form.trvDis().Nodes();
        records->moveFirst();
        const AccountFields fields(*records);
        const QChar letter = gradeLetter(iGrade);
        while (!records->eof()) {
            const QString key = fields.key(letter);
            nodes.Add(parentKey, 4, key, fields.nodeText(QStringView(key).mid(1), m_nodeText));
            records->moveNext();
        }
        records->close();
    }

    try {
        controls::QzNode parent = m_form.trvDis().Nodes().Item(parentKey);
        parent.SetSelected(true);
        m_form.ShowAccountAttributes(parent);
    } catch (const std::exception&) {
    }
}

} // namespace sarvo::tree
