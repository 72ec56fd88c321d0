// The demo's command line: what each option sets, and which command lines are refused.
#include "apps/demo/DemoOptions.h"

#include <gtest/gtest.h>

using sarvo::demo::DemoOptions;

namespace {

QStringList args(const std::vector<const char*>& list) {
    QStringList out;
    for (const char* a : list)
        out << QString::fromUtf8(a);
    return out;
}

TEST(DemoOptions, DefaultsPlayTheDemoUserInTheDemoYear) {
    const auto parsed = DemoOptions::parse(args({"--db", "x.db"}));
    ASSERT_TRUE(parsed.ok()) << parsed.error.toStdString();
    const DemoOptions& o = parsed.options;
    EXPECT_EQ(o.dbPath, QStringLiteral("x.db"));
    EXPECT_EQ(o.templateName, QStringLiteral("standard"));
    EXPECT_EQ(o.user, QStringLiteral("demo"));
    EXPECT_EQ(o.loginYear, 2024);
    EXPECT_EQ(o.language, QStringLiteral("zh-cn"));
    EXPECT_TRUE(o.filter.isEmpty());
    EXPECT_TRUE(o.condition.isEmpty());
    EXPECT_FALSE(o.noEdit);
    EXPECT_FALSE(o.year.has_value());
    EXPECT_FALSE(o.scriptPath.has_value());
    EXPECT_TRUE(o.logSqlPath.isEmpty());
}

TEST(DemoOptions, EveryOptionReachesItsField) {
    const auto parsed =
        DemoOptions::parse(args({"--db",        "a.db",         "--template",  "generated:500", "--user",
                                 "u7",          "--login-year", "2018",        "--lang",        "EN-US",
                                 "--filter",    "银行",         "--condition", " and bend=1",   "--noedit",
                                 "--year=2019", "--log-sql",    "s.log",       "--script",      "-"}));
    ASSERT_TRUE(parsed.ok()) << parsed.error.toStdString();
    const DemoOptions& o = parsed.options;
    EXPECT_EQ(o.templateName, QStringLiteral("generated:500"));
    EXPECT_EQ(o.user, QStringLiteral("u7"));
    EXPECT_EQ(o.loginYear, 2018);
    EXPECT_EQ(o.language, QStringLiteral("en-us"));
    EXPECT_EQ(o.filter, QString::fromUtf8("银行"));
    EXPECT_EQ(o.condition, QStringLiteral(" and bend=1"));
    EXPECT_TRUE(o.noEdit);
    EXPECT_EQ(o.year, QStringLiteral("2019"));
    EXPECT_EQ(o.logSqlPath, QStringLiteral("s.log"));
    EXPECT_EQ(o.scriptPath, QStringLiteral("-"));
}

TEST(DemoOptions, YearIsKeptAsTextForTheComponentToJudge) {
    const auto parsed = DemoOptions::parse(args({"--db", "a.db", "--year", "twenty"}));
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.options.year, QStringLiteral("twenty"));
}

TEST(DemoOptions, HelpNeedsNoDatabase) {
    const auto parsed = DemoOptions::parse(args({"-h"}));
    EXPECT_TRUE(parsed.ok());
    EXPECT_TRUE(parsed.options.help);
}

struct Refused {
    std::vector<const char*> arguments;
    const char* message;
};

void PrintTo(const Refused& p, std::ostream* os) {
    for (const char* a : p.arguments)
        *os << a << ' ';
}

class DemoOptionsRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(DemoOptionsRefused, WithAMessageNamingTheProblem) {
    const auto parsed = DemoOptions::parse(args(GetParam().arguments));
    EXPECT_FALSE(parsed.ok());
    EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(GetParam().message))) << parsed.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(CommandLines, DemoOptionsRefused,
                         ::testing::Values(Refused{{}, "--db PATH is required"},
                                           Refused{{"--db"}, "--db needs a value"},
                                           Refused{{"--db", ""}, "--db needs a value"},
                                           Refused{{"--db", "a", "--lang", "fr-fr"}, "zh-cn, zh-tw or en-us"},
                                           Refused{{"--db", "a", "--login-year", "24"}, "four-digit year"},
                                           Refused{{"--db", "a", "--login-year", "abc"}, "four-digit year"},
                                           Refused{{"--db", "a", "--bogus"}, "unknown option \"--bogus\""},
                                           Refused{{"--db", "a", "extra"}, "unexpected argument \"extra\""},
                                           Refused{{"--db", "a", "--noedit=1"}, "--noedit takes no value"},
                                           Refused{{"--db", "a", "--year"}, "--year needs a value"},
                                           Refused{{"--db", "a", "--script", ""}, "--script needs"}));

TEST(DemoOptions, UsageNamesEveryOptionAndScriptAction) {
    const QString usage = DemoOptions::usage();
    for (const char* word :
         {"--db", "--template", "--user", "--login-year", "--lang", "--filter", "--condition", "--noedit",
          "--year", "--log-sql", "--script", "type TEXT", "drag", "dump", "state"})
        EXPECT_TRUE(usage.contains(QLatin1String(word))) << word;
}

} // namespace
