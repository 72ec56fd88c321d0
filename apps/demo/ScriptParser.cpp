// Parsing of demo scripts. Action words and on/off are case-insensitive; node keys and texts are
// taken exactly. The text of "type" and "paste" is everything after the one blank that follows
// the action word, so leading and trailing blanks can be typed on purpose.
#include "apps/demo/ScriptParser.h"

#include <QRegularExpression>

namespace sarvo::demo {

namespace {

using Kind = ScriptAction::Kind;

struct Word {
    const char* name;
    Kind kind;
};

constexpr Word kWords[] = {
    {"type", Kind::Type},         {"paste", Kind::Paste},       {"clear", Kind::Clear},
    {"mode", Kind::Mode},         {"treedisp", Kind::TreeDisp}, {"click", Kind::Click},
    {"dblclick", Kind::DblClick}, {"expand", Kind::Expand},     {"collapse", Kind::Collapse},
    {"enter", Kind::Enter},       {"button", Kind::Button},     {"check", Kind::Check},
    {"ffc", Kind::Ffc},           {"filter", Kind::Filter},     {"drag", Kind::Drag},
    {"wait", Kind::Wait},         {"dump", Kind::Dump},         {"state", Kind::State},
};

std::optional<bool> parseOnOff(const QString& word) {
    if (word.compare(u"on", Qt::CaseInsensitive) == 0) return true;
    if (word.compare(u"off", Qt::CaseInsensitive) == 0) return false;
    return std::nullopt;
}

std::optional<int> parseInt(const QString& word, int min, int max) {
    bool ok = false;
    const int value = word.toInt(&ok);
    if (!ok || value < min || value > max) return std::nullopt;
    return value;
}

} // namespace

std::optional<ScriptAction> ScriptParser::parseLine(const QString& rawLine, int lineNumber,
                                                    ScriptError* error) {
    QString line = rawLine;
    while (line.endsWith(u'\r') || line.endsWith(u'\n'))
        line.chop(1);
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u'#')) return std::nullopt;

    auto fail = [&](const QString& message) -> std::optional<ScriptAction> {
        if (error) *error = ScriptError{lineNumber, line, message};
        return std::nullopt;
    };

    // The action word, then the rest after exactly one separating blank or tab.
    const qsizetype start = line.indexOf(trimmed.at(0));
    qsizetype end = start;
    while (end < line.size() && !line.at(end).isSpace())
        ++end;
    const QString word = line.mid(start, end - start).toLower();
    const QString rest = end < line.size() ? line.mid(end + 1) : QString();
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList args = rest.trimmed().isEmpty() ? QStringList() : rest.trimmed().split(blanks);

    const Word* found = nullptr;
    for (const Word& w : kWords)
        if (word == QLatin1String(w.name)) found = &w;
    if (!found) return fail(QStringLiteral("unknown action \"%1\"").arg(word));

    ScriptAction action;
    action.kind = found->kind;
    action.line = lineNumber;
    action.source = line;
    auto expectArgs = [&](int count, const char* form) -> bool {
        if (args.size() == count) return true;
        fail(QStringLiteral("expected \"%1\"").arg(QLatin1String(form)));
        return false;
    };

    switch (action.kind) {
    case Kind::Type:
    case Kind::Paste:
        if (rest.isEmpty()) return fail(QStringLiteral("expected \"%1 TEXT\"").arg(word));
        action.text = rest;
        break;
    case Kind::Clear:
    case Kind::Enter:
    case Kind::Filter:
    case Kind::Dump:
    case Kind::State:
        if (!args.isEmpty()) return fail(QStringLiteral("\"%1\" takes no argument").arg(word));
        break;
    case Kind::Mode: {
        if (!expectArgs(1, "mode begins|contains")) return std::nullopt;
        const QString m = args[0].toLower();
        if (m == u"begins")
            action.number = 0;
        else if (m == u"contains")
            action.number = 1;
        else
            return fail(QStringLiteral("expected \"mode begins|contains\""));
        break;
    }
    case Kind::TreeDisp:
    case Kind::Ffc: {
        const char* form = action.kind == Kind::Ffc ? "ffc on|off" : "treedisp on|off";
        if (!expectArgs(1, form)) return std::nullopt;
        const auto on = parseOnOff(args[0]);
        if (!on) return fail(QStringLiteral("expected \"%1\"").arg(QLatin1String(form)));
        action.on = *on;
        break;
    }
    case Kind::Click:
    case Kind::DblClick:
    case Kind::Expand:
    case Kind::Collapse:
        if (args.size() != 1) return fail(QStringLiteral("expected \"%1 KEY\"").arg(word));
        action.text = args[0];
        break;
    case Kind::Button: {
        if (!expectArgs(1, "button N")) return std::nullopt;
        const auto n = parseInt(args[0], 0, 3);
        if (!n) return fail(QStringLiteral("button index must be 0 to 3, not \"%1\"").arg(args[0]));
        action.number = *n;
        break;
    }
    case Kind::Check: {
        if (!expectArgs(2, "check N on|off")) return std::nullopt;
        const auto n = parseInt(args[0], 0, 9);
        if (!n) return fail(QStringLiteral("check box index must be 0 to 9, not \"%1\"").arg(args[0]));
        const auto on = parseOnOff(args[1]);
        if (!on) return fail(QStringLiteral("expected \"check N on|off\""));
        action.number = *n;
        action.on = *on;
        break;
    }
    case Kind::Drag: {
        if (!expectArgs(1, "drag TWIPS")) return std::nullopt;
        const auto x = parseInt(args[0], -200000, 200000);
        if (!x) return fail(QStringLiteral("drag expects a distance in twips, not \"%1\"").arg(args[0]));
        action.number = *x;
        break;
    }
    case Kind::Wait: {
        if (!expectArgs(1, "wait MS")) return std::nullopt;
        const auto ms = parseInt(args[0], 0, 600000);
        if (!ms)
            return fail(QStringLiteral("wait expects 0 to 600000 milliseconds, not \"%1\"").arg(args[0]));
        action.number = *ms;
        break;
    }
    }
    return action;
}

ScriptParser::Result ScriptParser::parse(const QString& script) {
    Result result;
    const QStringList lines = script.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        ScriptError error;
        const auto action = parseLine(lines[i], i + 1, &error);
        if (action) {
            result.actions.append(*action);
        } else if (error.line != 0) {
            result.error = error;
            break;
        }
    }
    return result;
}

} // namespace sarvo::demo
