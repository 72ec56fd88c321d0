// Node looks and tooltips of the account tree, answered with the host's help.
#include "dialog/AccountNodeDecorator.h"

#include "component/basSarvo.h"
#include "dialog/UiText.h"
#include "filter/MatchHighlight.h"
#include "host/services/AccountLookup.h"

namespace sarvo::dialog {

namespace {

std::optional<host::AccountLookup::Account> findAccount(const QString& code) {
    try {
        return host::AccountLookup::find(*basSarvo::oZwPub(), code);
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace

bool AccountNodeDecorator::isAccountKey(const QString& key) {
    if (key.size() < 2) return false;
    const QChar first = key.front();
    return first == QLatin1Char('y') || (first >= QLatin1Char('b') && first <= QLatin1Char('n'));
}

controls::NodeLook AccountNodeDecorator::look(const QString& key, const QString& text) const {
    return looks({{key, text}}).front();
}

std::vector<controls::NodeLook>
AccountNodeDecorator::looks(const std::vector<std::pair<QString, QString>>& nodes) const {
    std::vector<controls::NodeLook> out(nodes.size());
    QStringList codes;
    for (const auto& [key, text] : nodes)
        if (isAccountKey(key)) codes << key.mid(1);
    if (codes.isEmpty()) return out;
    // The host's answers; a failing look-up leaves the nodes plain: the look is a help only.
    QHash<QString, host::AccountLookup::Account> accounts;
    const bool context = m_filter.hierarchy && !m_filter.condition.trimmed().isEmpty();
    try {
        accounts = host::AccountLookup::findAll(*basSarvo::oZwPub(), codes,
                                                context ? m_filter.condition : QString());
    } catch (...) {
        return out;
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        const auto& [key, text] = nodes[i];
        if (!isAccountKey(key)) continue;
        const QString code = key.mid(1);
        controls::NodeLook& look = out[i];
        if (!m_filter.typed.isEmpty())
            look.highlights = filter::MatchHighlight::ranges(text, m_filter.typed, m_filter.mode);
        const host::AccountLookup::Account account = accounts.value(code);
        look.closed = account.closed;
        look.context = context && !account.passes;
    }
    return out;
}

QString AccountNodeDecorator::toolTip(const QString& key, const QString& text, const QStringList& ancestors,
                                      const controls::NodeLook& look) const {
    QStringList lines{QStringLiteral("<b>") + text.toHtmlEscaped() + QStringLiteral("</b>")};
    const auto labelled = [&lines](const char* label, const QString& value) {
        lines << uiText(label).toHtmlEscaped() + QStringLiteral(": ") + value.toHtmlEscaped();
    };
    const std::optional<host::AccountLookup::Account> account =
        isAccountKey(key) ? findAccount(key.mid(1)) : std::nullopt;
    if (account) {
        labelled("Name", account->name);
        labelled("EnglishName", account->englishName);
    }
    if (!ancestors.isEmpty()) labelled("Path", ancestors.join(QStringLiteral(" \\ ")));
    if (look.closed) lines << uiText("Closed").toHtmlEscaped();
    if (look.context) lines << uiText("Context").toHtmlEscaped();
    return QStringLiteral("<p style='white-space:pre'>") + lines.join(QStringLiteral("<br>")) +
           QStringLiteral("</p>");
}

} // namespace sarvo::dialog
