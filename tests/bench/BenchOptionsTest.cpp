// The benchmark's command line: defaults, quick mode, every option's field, refused values.
#include "bench/BenchOptions.h"
#include "runtime/RuntimeError.h"

#include <gtest/gtest.h>

using sarvo::bench::BenchOptions;

namespace {

// The fields in declaration order.
std::string fields(const QStringList& arguments) {
    const BenchOptions o = BenchOptions::parse(arguments);
    return QStringLiteral("%1|%2 %3 %4|%5 %6 %7 %8|%9 %10 %11 %12|%13|%14|%15|%16 %17")
        .arg(o.sets.join(QLatin1Char(',')))
        .arg(o.reps)
        .arg(o.capSeconds)
        .arg(o.minReps)
        .arg(int(o.plain))
        .arg(o.plainReps)
        .arg(o.plainCapSeconds)
        .arg(o.plainStopSeconds)
        .arg(o.floorSeconds)
        .arg(o.changes)
        .arg(o.openReps)
        .arg(o.year)
        .arg(o.jsonPath, o.dataDir, o.note)
        .arg(int(o.quick))
        .arg(int(o.help))
        .toStdString();
}

TEST(BenchOptions, DefaultsQuickModeAndEveryOption) {
    EXPECT_EQ(fields({}),
              "standard,generated:5000,generated:50000|25 20 5|1 25 10 60|0.5 1000 15 2024||||0 0");
    EXPECT_EQ(fields({"--quick"}), "standard,generated:1000|2 2 1|1 1 0.5 5|0.05 20 2 2024||||1 0");
    // Options after --quick still apply.
    EXPECT_EQ(fields({"--quick", "--reps", "3", "--sets=standard"}),
              "standard|3 2 1|1 1 0.5 5|0.05 20 2 2024||||1 0");
    // clang-format off
    EXPECT_EQ(fields({"--sets", "generated:200,budget", "--reps=4", "--cap", "1.5", "--plain-reps", "2",
                      "--plain-cap=0.25", "--plain-stop", "7", "--no-plain", "--floor-seconds", "0",
                      "--changes", "0", "--open-reps", "6", "--json", "o.json", "--data-dir", "/d",
                      "--note", "busy box", "--year", "2023", "-h"}),
              "generated:200,budget|4 1.5 4|0 2 0.25 7|0 0 6 2023|o.json|/d|busy box|0 1");
    // clang-format on
    EXPECT_EQ(BenchOptions::parse({"--postgresql", "postgresql://u@h:5/d"}).postgresql,
              "postgresql://u@h:5/d");
    EXPECT_EQ(BenchOptions::parse({}).postgresql, "");
}

TEST(BenchOptions, BadCommandLinesAreRefusedNamingTheProblem) {
    const std::pair<QStringList, const char*> cases[] = {
        {{"--reps"}, "--reps needs a value"},
        {{"--reps", "0"}, "--reps needs a whole number"},
        {{"--reps=x"}, "not \"x\""},
        {{"--cap", "-1"}, "--cap needs seconds"},
        {{"--sets", ","}, "at least one template"},
        {{"--changes", "-5"}, "--changes needs a whole number"},
        {{"--postgresql", "/tmp/sets.db"}, "--postgresql needs postgresql://"},
        {{"--cases", "filter (flat"}, "--cases needs a regular expression"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"extra"}, "unknown option extra"},
    };
    for (const auto& [arguments, message] : cases) {
        try {
            BenchOptions::parse(arguments);
            ADD_FAILURE() << arguments.join(' ').toStdString() << " was taken";
        } catch (const sarvo::RuntimeError& e) {
            EXPECT_EQ(e.number(), 5);
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(message)))
                << arguments.join(' ').toStdString() << ": " << e.description().toStdString();
        }
    }
}

} // namespace
