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
        return std::nullopt; // shown plain: the look is a help, not a promise
    }
}

} // namespace

bool AccountNodeDecorator::isAccountKey(const QString& key) {
    if (key.size() < 2) return false;
    const QChar first = key.front();
    return first == QLatin1Char('y') || (first >= QLatin1Char('b') && first <= QLatin1Char('n'));
}

controls::NodeLook AccountNodeDecorator::look(const QString& key, const QString& text) const {
    controls::NodeLook look;
    if (!isAccountKey(key)) return look;
    const QString code = key.mid(1);
    if (!m_filter.typed.isEmpty())
        look.highlights = filter::MatchHighlight::ranges(text, m_filter.typed, m_filter.mode);
    if (const auto account = findAccount(code)) look.closed = account->closed;
    if (m_filter.hierarchy && !m_filter.condition.trimmed().isEmpty()) {
        try {
            look.context = !host::AccountLookup::passes(*basSarvo::oZwPub(), code, m_filter.condition);
        } catch (...) {
        }
    }
    return look;
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
