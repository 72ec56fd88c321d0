// The demo's command line: what each option sets, and which command lines are refused.
#include "apps/demo/DemoOptions.h"

#include <gtest/gtest.h>

using sarvo::demo::DemoOptions;

namespace {

// The fields in declaration order, "(none)" for an option not given.
std::string fields(const QStringList& arguments) {
    const DemoOptions::Parsed parsed = DemoOptions::parse(arguments);
    const DemoOptions& o = parsed.options;
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|%10|%11|%12")
        .arg(o.dbPath, o.templateName, o.user, QString::number(o.loginYear), o.language, o.filter,
             o.condition, QString(o.noEdit ? "noedit" : ""), o.year.value_or("(none)"), o.logSqlPath,
             o.scriptPath.value_or("(none)"), parsed.error)
        .toStdString();
}

TEST(DemoOptions, EveryOptionReachesItsField) {
    EXPECT_EQ(fields({"--db", "x.db"}), "x.db|standard|demo|2024|zh-cn||||(none)||(none)|");
    EXPECT_EQ(fields({"--db",        "a.db",         "--template",  "generated:500", "--user",
                      "u7",          "--login-year", "2018",        "--lang",        "EN-US",
                      "--filter",    "银行",         "--condition", " and bend=1",   "--noedit",
                      "--year=2019", "--log-sql",    "s.log",       "--script",      "-"}),
              "a.db|generated:500|u7|2018|en-us|银行| and bend=1|noedit|2019|s.log|-|");
    // The year is judged by the component, so any text passes.
    EXPECT_EQ(fields({"--db", "a", "--year", "twenty"}), "a|standard|demo|2024|zh-cn||||twenty||(none)|");
    EXPECT_TRUE(DemoOptions::parse({"-h"}).ok()); // help needs no database
}

TEST(DemoOptions, BadCommandLinesAreRefusedNamingTheProblem) {
    const std::pair<QStringList, const char*> cases[] = {
        {{}, "--db PATH is required"},
        {{"--db", ""}, "--db needs a value"},
        {{"--db", "a", "--lang", "fr-fr"}, "zh-cn, zh-tw or en-us"},
        {{"--db", "a", "extra"}, "unexpected argument \"extra\""},
        {{"--db", "a", "--bogus"}, "unknown option \"--bogus\""},
        {{"--db", "a", "--login-year", "abc"}, "four-digit year"},
        {{"--db", "a", "--noedit=1"}, "--noedit takes no value"},
        {{"--db", "a", "--year"}, "--year needs a value"},
        {{"--db", "a", "--script", ""}, "--script needs"}};
    for (const auto& [arguments, message] : cases) {
        const auto parsed = DemoOptions::parse(arguments);
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(message)))
            << arguments.join(' ').toStdString() << ": " << parsed.error.toStdString();
    }
}

} // namespace
