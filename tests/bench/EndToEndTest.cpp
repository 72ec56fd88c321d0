// A whole set run through EndToEndBench on the standard chart: every case of the matrix is there
// in its order, every tree matched the floor, the references and the memory readings are filled;
// and the year's rows as the floor reads them from a generated set.
#include "bench/AccountRows.h"
#include "bench/EndToEndBench.h"
#include "bench/HostDriver.h"
#include "bench/MachineNote.h"
#include "bench/TreeCheck.h"
#include "data/AccountSetTemplate.h"
#include "runtime/RuntimeError.h"
#include "tests/support/QtPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sarvo::bench;

namespace {

TEST(EndToEndBench, OneSetRunsEveryCaseAndEveryTreeMatchesTheFloor) {
    QTemporaryDir dir;
    BenchOptions options = BenchOptions::parse(
        {"--quick", "--reps", "1", "--open-reps", "1", "--changes", "6", "--data-dir", dir.path()});
    EndToEndBench bench(options);
    QStringList progress;
    bench.setProgress([&](const QString& line) { progress << line; });
    const SetResult set = bench.runSet("standard");

    EXPECT_EQ(set.accounts, 331);
    EXPECT_TRUE(set.problems.isEmpty()) << set.problems.join('\n').toStdString();
    QStringList labels;
    for (const CaseResult& c : set.cases) {
        labels << c.label();
        EXPECT_EQ(c.fast.check, TreeCheck::kSame) << c.label().toStdString();
        EXPECT_EQ(c.fast.time.count, 1) << c.label().toStdString();
        EXPECT_GT(c.fast.time.wallMedian, 0.0) << c.label().toStdString();
        ASSERT_TRUE(c.plain.has_value()) << c.label().toStdString();
        EXPECT_GE(c.fast.counters.statements, 1) << c.label().toStdString();
        EXPECT_GT(c.fast.peakResident, 0) << c.label().toStdString();
        EXPECT_EQ(c.floor.has_value(), c.group == "filter") << c.label().toStdString();
    }
    QStringList expected = {"open empty", "open hierarchy begins Viewpara1", "open flat begins Viewpara1"};
    for (const char* layout : {"flat", "hierarchy"}) {
        for (const char* mode : {"begins", "contains"})
            for (const char* strength : {"narrow", "medium", "broad"})
                expected << QStringLiteral("filter %1 %2 %3").arg(layout, mode, strength);
        expected << QStringLiteral("filter %1 attribute").arg(layout);
    }
    expected << "click class"
             << "click account";
    EXPECT_EQ(labels, expected);

    // The hierarchy of a broad text runs one statement per node; the flat layout one in all.
    for (const CaseResult& c : set.cases) {
        if (c.label() == "filter flat contains broad") {
            EXPECT_EQ(c.fast.counters.statements, 1);
        }
        if (c.label() == "filter hierarchy contains broad") {
            // Drop, select-into, first grade, one per account node, drop; the group and six classes
            // are not accounts.
            EXPECT_EQ(c.fast.counters.statements, c.fast.nodes - 7 + 4);
        }
    }
    ASSERT_TRUE(set.growth.has_value());
    EXPECT_EQ(set.growth->changes, 6);
    EXPECT_GT(set.emptyDialogHeap, 0);
    // The set's creation, the texts of both modes, one line a case, the growth.
    EXPECT_EQ(progress.size(), 1 + 2 + set.cases.size() + 1);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("standard.db")));
}

TEST(EndToEndBench, CasesRunOnlyWhereTheirLabelMatches) {
    QTemporaryDir dir;
    const struct {
        const char* cases;
        QStringList labels;
        bool growth;
    } runs[] = {{"attribute|click class",
                 {"filter flat attribute", "filter hierarchy attribute", "click class"},
                 false},
                {"^open flat|growth", {"open flat begins Viewpara1"}, true},
                {"nothing like this", {}, false}};
    for (const auto& run : runs) {
        EndToEndBench bench(
            BenchOptions::parse({"--quick", "--reps", "1", "--open-reps", "1", "--changes", "2", "--no-plain",
                                 "--cases", run.cases, "--data-dir", dir.path()}));
        const SetResult set = bench.runSet("standard");
        QStringList labels;
        for (const CaseResult& c : set.cases)
            labels << c.label();
        EXPECT_EQ(labels, run.labels) << run.cases;
        EXPECT_EQ(set.growth.has_value(), run.growth) << run.cases;
        EXPECT_TRUE(set.problems.isEmpty()) << run.cases;
    }
}

TEST(AccountRows, AGeneratedYearLoadsWithEveryAccountUnderItsGradeAbove) {
    QTemporaryDir dir;
    const QString path = dir.filePath("g.db");
    sarvo::data::createAccountSet(path, "generated:1000");
    const AccountRows rows = AccountRows::load(path, 2024);
    ASSERT_EQ(rows.size(), 1000);
    EXPECT_EQ(rows.classes().size(), 6);
    int deepest = 0;
    for (const AccountRow& r : rows.rows()) {
        deepest = std::max(deepest, r.grade);
        EXPECT_GE(r.classIndex, 0) << r.code.constData();
        if (r.grade == 1) {
            EXPECT_EQ(r.parent, -1) << r.code.constData();
            continue;
        }
        ASSERT_GE(r.parent, 0) << r.code.constData();
        const AccountRow& p = rows.rows()[static_cast<size_t>(r.parent)];
        EXPECT_EQ(p.grade, r.grade - 1) << r.code.constData();
        EXPECT_TRUE(r.code.startsWith(p.code)) << r.code.constData();
        EXPECT_EQ(p.cclass, r.cclass) << r.code.constData();
    }
    EXPECT_EQ(deepest, 13);
    EXPECT_EQ(AccountRows::load(path, 2023).size(), 0);
    EXPECT_THROW(AccountRows::load(dir.filePath("missing.db"), 2024), sarvo::RuntimeError);
}

TEST(HostDriver, AYearWithoutAccountsShowsNoDialogAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.db");
    sarvo::data::createAccountSet(path, "standard");
    HostDriver host(path, 2025);
    try {
        host.request(QString(), [](DialogSession&) { ADD_FAILURE() << "a dialog showed"; });
        ADD_FAILURE() << "the request went through";
    } catch (const sarvo::RuntimeError& e) {
        EXPECT_TRUE(e.description().contains("DRReference returned False")) << e.description().toStdString();
    }
}

TEST(MachineNote, NamesTheMachineAndCarriesTheNote) {
    const QJsonObject m = MachineNote::collect("shared box");
    EXPECT_GT(m["logicalCpus"].toInt(), 0);
    EXPECT_GT(m["memoryMiB"].toInteger(), 0);
    EXPECT_FALSE(m["qt"].toString().isEmpty());
    EXPECT_FALSE(m["sqlite"].toString().isEmpty());
    EXPECT_FALSE(m["buildType"].toString().isEmpty());
    EXPECT_EQ(m["platform"].toString(), "offscreen");
    EXPECT_TRUE(MachineNote::summary(m).endsWith("; shared box"));
    EXPECT_FALSE(MachineNote::collect(QString()).contains("note"));
}

} // namespace
