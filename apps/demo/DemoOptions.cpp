// Command-line parsing of sarvo-demo. Every value option takes the next argument as it stands
// (so "--script -" and "--condition ' and bend=1'" work) or the text after "=".
#include "apps/demo/DemoOptions.h"

#include <QHash>
#include <functional>

namespace sarvo::demo {

namespace {

using Setter = std::function<QString(DemoOptions&, const QString&)>; // returns an error text

QString setLoginYear(DemoOptions& o, const QString& v) {
    bool ok = false;
    const int year = v.toInt(&ok);
    // The login year travels as a 16-bit integer; a four-digit year is what the host would send.
    if (!ok || year < 1000 || year > 9999)
        return QStringLiteral("--login-year expects a four-digit year, not \"%1\"").arg(v);
    o.loginYear = year;
    return {};
}

QString setLanguage(DemoOptions& o, const QString& v) {
    const QString lang = v.toLower();
    if (lang != u"zh-cn" && lang != u"zh-tw" && lang != u"en-us")
        return QStringLiteral("--lang expects zh-cn, zh-tw or en-us, not \"%1\"").arg(v);
    o.language = lang;
    return {};
}

QString nonEmpty(const char* option, QString& target, const QString& v) {
    if (v.isEmpty()) return QStringLiteral("%1 needs a value").arg(QLatin1String(option));
    target = v;
    return {};
}

const QHash<QString, Setter>& valueOptions() {
    static const QHash<QString, Setter> options = {
        {QStringLiteral("db"),
         [](DemoOptions& o, const QString& v) { return nonEmpty("--db", o.dbPath, v); }},
        {QStringLiteral("template"),
         [](DemoOptions& o, const QString& v) { return nonEmpty("--template", o.templateName, v); }},
        {QStringLiteral("user"),
         [](DemoOptions& o, const QString& v) { return nonEmpty("--user", o.user, v); }},
        {QStringLiteral("login-year"), setLoginYear},
        {QStringLiteral("lang"), setLanguage},
        {QStringLiteral("filter"),
         [](DemoOptions& o, const QString& v) {
             o.filter = v;
             return QString();
         }},
        {QStringLiteral("condition"),
         [](DemoOptions& o, const QString& v) {
             o.condition = v;
             return QString();
         }},
        {QStringLiteral("year"),
         [](DemoOptions& o, const QString& v) {
             o.year = v;
             return QString();
         }},
        {QStringLiteral("log-sql"),
         [](DemoOptions& o, const QString& v) { return nonEmpty("--log-sql", o.logSqlPath, v); }},
        {QStringLiteral("script"),
         [](DemoOptions& o, const QString& v) {
             if (v.isEmpty()) return QStringLiteral("--script needs a file name or -");
             o.scriptPath = v;
             return QString();
         }},
    };
    return options;
}

} // namespace

DemoOptions::Parsed DemoOptions::parse(const QStringList& arguments) {
    Parsed result;
    DemoOptions& o = result.options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == u"-h" || arg == u"--help") {
            o.help = true;
            continue;
        }
        if (!arg.startsWith(u"--") || arg.size() == 2) {
            result.error = QStringLiteral("unexpected argument \"%1\"").arg(arg);
            return result;
        }
        QString name = arg.mid(2);
        std::optional<QString> inlineValue;
        if (const qsizetype eq = name.indexOf(u'='); eq >= 0) {
            inlineValue = name.mid(eq + 1);
            name.truncate(eq);
        }
        if (name == u"noedit") {
            if (inlineValue) {
                result.error = QStringLiteral("--noedit takes no value");
                return result;
            }
            o.noEdit = true;
            continue;
        }
        const auto setter = valueOptions().constFind(name);
        if (setter == valueOptions().cend()) {
            result.error = QStringLiteral("unknown option \"--%1\"").arg(name);
            return result;
        }
        QString value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            result.error = QStringLiteral("--%1 needs a value").arg(name);
            return result;
        }
        if (QString error = (*setter)(o, value); !error.isEmpty()) {
            result.error = error;
            return result;
        }
    }
    if (!o.help && o.dbPath.isEmpty()) result.error = QStringLiteral("--db PATH is required");
    return result;
}

QString DemoOptions::usage() {
    return QStringLiteral(
        "usage: sarvo-demo --db PATH [options]\n"
        "Plays the host application: opens the account set, runs one account reference through the\n"
        "component and prints the outcome as one JSON object on standard output.\n"
        "\n"
        "  --db PATH           account set (SQLite); created from a template when missing;\n"
        "                      or a connection string: postgresql://..., odbc:DSN-NAME, odbc:DRIVER=...\n"
        "  --template NAME     template for a new account set: standard (default), budget, generated:N\n"
        "  --user ID           operator (default demo)\n"
        "  --login-year N      login year (default 2024)\n"
        "  --lang LANG         zh-cn (default), zh-tw or en-us\n"
        "  --filter TEXT       initial quick-filter text (Viewpara1)\n"
        "  --condition SQL     extra condition of the request (Viewpara2), e.g. \" and bend=1\"\n"
        "  --noedit            disable the edit button (Viewreturn4 = \"noedit\")\n"
        "  --year VALUE        year handed to DRReference, as text (default: the login year)\n"
        "  --log-sql FILE      write every statement the component sends to the database, one a line\n"
        "  --script FILE       drive the dialog with the actions in FILE (- for standard input);\n"
        "                      without a display the offscreen platform is used\n"
        "  -h, --help          show this text\n"
        "\n"
        "Script actions, one a line (# starts a comment):\n"
        "  type TEXT | paste TEXT | clear | mode begins|contains | treedisp on|off\n"
        "  click KEY | dblclick KEY | expand KEY | collapse KEY | enter | button N (0-3)\n"
        "  check N on|off (0-9) | ffc on|off | filter | drag TWIPS | wait MS | dump | state\n"
        "\n"
        "Exit status: 0 when DRReference returned True, 1 when it returned False, 2 for bad\n"
        "arguments or an account set that cannot be used (standard error and the report's \"error\"\n"
        "say which file and why), 3 when the component cannot be loaded or one of its calls fails.\n");
}

} // namespace sarvo::demo
