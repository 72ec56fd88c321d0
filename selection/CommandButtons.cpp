// Confirmation, the recently used list and the account editor.
#include "selection/CommandButtons.h"

#include "component/TextRules.h"
#include "component/basSarvo.h"
#include "filter/AttributeFilter.h"
#include "host/services/CodeEditor.h"
#include "runtime/RuntimeError.h"

namespace sarvo::selection {

namespace {

ObjectRef refAttrib() {
    ObjectRef attrib = basSarvo::oZwPub()->RefAttrib();
    if (!attrib) raise(ErrorCode::ObjectVariableNotSet, QStringLiteral("the host has no attribute object"));
    return attrib;
}

QString codeBeforeBlank(const QString& text) {
    const int blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0) raise(ErrorCode::InvalidProcedureCall, QStringLiteral("no blank in \"%1\"").arg(text));
    return text.left(blank);
}

// The user identifier as it goes into a statement's literal.
QString currentUser() {
    return literalText(basSarvo::oZwPub()->CurrentUser()->getAt(1).toDisplayText());
}

void showStop(const QString& prompt) {
    basSarvo::ShowMessage(prompt, int32_t(16),
                          basSarvo::GetResString(QStringLiteral("Host.GL.Sarvo.NetInfo")), QString(),
                          int32_t(0));
}

} // namespace

void CommandButtons::cmdButton_Click(int16_t index) {
    switch (index) {
    case 0:
        Confirm();
        break;
    case 1:
        ToggleRecentlyUsed();
        break;
    case 2:
        EditAccounts();
        break;
    case 3:
        Cancel();
        break;
    default:
        break;
    }
}

void CommandButtons::RestartUnfiltered() {
    m_form.trvDis().Nodes().Clear();
    m_form.BuildTreeRoots();
    filter::AttributeFilter::ResetAttributeFilter(m_form);
}

void CommandButtons::Confirm() {
    const controls::QzNode selected = m_form.trvDis().SelectedItem();
    if (selected.isNull()) return;
    try {
        const QString text = selected.Text();
        const QString key = selected.Key();
        if (key.startsWith(QLatin1Char('a')) || key.startsWith(QLatin1Char('z'))) return;
        const ObjectRef attrib = refAttrib();
        attrib->putAt(7, Variant(true));
        const QString code = codeBeforeBlank(text);
        attrib->putAt(3, Variant(code));
        attrib->putAt(4, Variant(text.mid(text.indexOf(QLatin1Char(' ')) + 1)));
        auto& rsCode = basSarvo::rsCode();
        rsCode = basSarvo::GetConnection()->execute(
            QStringLiteral("Select Top 1 * FROM code Where ccode= N'") + literalText(code) +
                QStringLiteral("' and iYear=") + QString::number(basSarvo::iYear()) +
                QStringLiteral(" Order By ccode"),
            -1);
        const Variant english = rsCode->field(QStringLiteral("ccode_engl"));
        attrib->putAt(5, Variant(english.isNull() ? QString() : english.toString()));
        rsCode->close();
        m_form.EnableCloseTimer();
    } catch (const RuntimeError& e) {
        const bool gone = e.is(ErrorCode::NoCurrentRecord) || e.number() == 3176;
        showStop(basSarvo::GetResString(gone ? QStringLiteral("Host.GL.Sarvo.NoKmReSelect")
                                             : QStringLiteral("Host.GL.Sarvo.KmSelectError")));
        RestartUnfiltered();
    } catch (const std::exception&) {
        showStop(basSarvo::GetResString(QStringLiteral("Host.GL.Sarvo.KmSelectError")));
        RestartUnfiltered();
    }
}

void CommandButtons::ToggleRecentlyUsed() {
    const controls::QzNode selected = m_form.trvDis().SelectedItem();
    if (selected.isNull()) return;
    const QString text = selected.Text();
    const QString key = selected.Key();
    const bool entry = key.startsWith(QLatin1Char('y'));
    const bool account = !key.isEmpty() && key.at(0) >= u'b' && key.at(0) <= u'j';
    // Classes and the group node are neither added nor removed; their texts carry no code.
    if (!entry && !account) return;
    const QString code = codeBeforeBlank(text);
    auto& nodes = m_form.trvDis().Nodes();
    if (entry) {
        basSarvo::GetConnection()->execute(QStringLiteral("delete from GL_mcodeused where cuser =N'") +
                                           currentUser() + QStringLiteral("' and ccode = N'") +
                                           literalText(code) + QStringLiteral("'"));
        nodes.Remove(key);
        return;
    }
    // A failure here (the account already listed under the group, a database error) ends the
    // click quietly: the list is a convenience, not part of the request.
    try {
        if (nodes.Item(QStringLiteral("z")).Children() > 0)
            nodes.Add(QStringLiteral("z"), 4, QStringLiteral("y") + code, text);
        basSarvo::GetConnection()->execute(QStringLiteral("insert into GL_mcodeused values(N'") +
                                           currentUser() + QStringLiteral("',N'") + literalText(code) +
                                           QStringLiteral("')"));
    } catch (const std::exception&) {
    }
}

void CommandButtons::EditAccounts() {
    if (m_form.bEditing) return;
    const auto zwPub = basSarvo::oZwPub();
    const auto login = basSarvo::oLogin();
    if (Variant(login->LoginYear()).toDouble() != zwPub->CurrentYear()) {
        showStop(QStringLiteral("不支持跨年编辑！"));
        return;
    }
    m_form.bEditing = true;
    m_form.SetMousePointer(11);
    m_form.Label10().SetVisible(true);
    m_form.Label10().Refresh();
    // Whatever the editor does, the pointer, the label and the flag come back.
    struct Restore {
        dialog::SarvoDialog& form;
        ~Restore() {
            form.SetMousePointer(0);
            form.Label10().SetVisible(false);
            form.bEditing = false;
        }
    } restore{m_form};
    auto editor = std::make_shared<host::CodeEditor>();
    editor->setZwPub(zwPub);
    editor->setLogin(login);
    editor->Run();
    m_form.SetMousePointer(0);
    m_form.Label10().SetVisible(false);
    m_form.trvDis().Nodes().Clear();
    m_form.BuildTreeRoots();
    editor.reset();
    filter::AttributeFilter::ResetAttributeFilter(m_form);
}

void CommandButtons::Cancel() {
    refAttrib()->putAt(7, Variant(false));
    m_form.Unload();
}

} // namespace sarvo::selection
