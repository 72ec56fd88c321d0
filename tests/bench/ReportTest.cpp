// What the benchmark tells: the tree check's verdicts, the chosen filter texts, the ratios,
// the printed table and the JSON of a run.
#include "bench/AccountRows.h"
#include "bench/BenchReport.h"
#include "bench/StringChooser.h"
#include "bench/TreeCheck.h"
#include "tests/support/QtPrinters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sarvo::bench;

namespace {

TEST(TreeCheck, SaysWhereTheTreeFirstDiffers) {
    const TreeLine a{"b1001", "a1", "1001 现金"};
    const TreeLine b{"b1002", "a1", "1002 银行存款"};
    const TreeLine bMoved{"b1002", "b1001", "1002 银行存款"};
    const TreeLine bRenamed{"b1002", "a1", "1002 Bank"};
    struct Case {
        std::vector<TreeLine> tree;
        std::vector<TreeLine> expected;
        const char* verdict;
    };
    const Case cases[] = {
        {{}, {}, "same"},
        {{b, a}, {a, b}, "same"}, // order does not matter
        {{a}, {a, b}, "tree 1 accounts, expected 2; missing b1002 under a1 \"1002 银行存款\""},
        {{a, b}, {b}, "tree 2 accounts, expected 1; extra b1001 under a1 \"1001 现金\""},
        {{b}, {a}, "tree 1 accounts, expected 1; missing b1001 under a1 \"1001 现金\""},
        {{a, bMoved},
         {a, b},
         "tree 2 accounts, expected 2; b1002 under b1001 \"1002 银行存款\" instead of b1002 under a1 \"1002 "
         "银行存款\""},
        {{a, bRenamed},
         {a, b},
         "tree 2 accounts, expected 2; b1002 under a1 \"1002 Bank\" instead of b1002 under a1 \"1002 "
         "银行存款\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TreeCheck::compare(c.tree, c.expected), QString::fromUtf8(c.verdict));
}

TEST(StringChooser, NearestCountOnALogScaleShorterTextOnATie) {
    struct Case {
        std::vector<ChosenText> counted;
        double target;
        const char* text;
    };
    const Case cases[] = {
        {{{"10", 50}, {"100", 6}, {"1001", 1}}, 5, "100"},
        // 2.5 and 10 are equally far from 5 on a log scale: the shorter text wins.
        {{{"1002", 10}, {"10020", 2}}, 5, "1002"},
        {{{"abc", 10}, {"abd", 10}}, 5, "abc"},
        // Nothing selected is never a choice.
        {{{"9", 0}, {"8", 400}}, 5, "8"},
        {{{"9", 0}}, 5, ""},
        {{{"1", 5000}, {"12", 260}, {"123", 30}}, 250, "12"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringChooser::nearest(c.counted, c.target).text, QString::fromUtf8(c.text));
}

TEST(StringChooser, TextsAreNarrowMediumAndBroadOnTheChart) {
    // Forty first-grade accounts in two classes, each with five below: 240 accounts.
    std::vector<AccountRow> rows;
    for (int i = 0; i < 40; ++i) {
        const QByteArray code = QByteArray::number(i < 20 ? 1001 + i : 2001 + i - 20);
        AccountRow top;
        top.code = code;
        top.grade = 1;
        top.cclass = i < 20 ? QStringLiteral("资产") : QStringLiteral("负债");
        top.name = QByteArray("科目");
        rows.push_back(top);
        for (int k = 1; k <= 5; ++k) {
            AccountRow child = top;
            child.code = code + "0" + QByteArray::number(k);
            child.grade = 2;
            rows.push_back(child);
        }
    }
    const AccountRows chart(rows, {QStringLiteral("资产"), QStringLiteral("负债")});
    const FilterFloor floor(chart);
    const StringChooser chooser(chart, floor, 12);
    EXPECT_FALSE(chooser.candidates().isEmpty());
    EXPECT_EQ(chooser.candidates().filter(QRegularExpression("^\\d+$")).size(), chooser.candidates().size());

    const ChosenTexts begins = chooser.choose(false);
    // The five below one first-grade account ("10020" is the beginning of all five of them).
    EXPECT_EQ(begins.narrow.text, "10020");
    EXPECT_EQ(begins.narrow.matches, 5);
    // Five percent is 12; the candidates offer 6 (a first-grade branch) and 54 ("100"): 6 is
    // nearer, and "1002" is the smallest of the four-digit codes tried.
    EXPECT_EQ(begins.medium.text, "1002");
    EXPECT_EQ(begins.medium.matches, 6);
    // One character: a whole class.
    EXPECT_EQ(begins.broad.text, "1");
    EXPECT_EQ(begins.broad.matches, 120);

    const ChosenTexts contains = chooser.choose(true);
    EXPECT_EQ(contains.broad.text, "1");
    EXPECT_EQ(contains.broad.matches, static_cast<int>(floor.matching(FilterQuery::quick("1", true)).size()));
    EXPECT_GE(contains.medium.matches, contains.narrow.matches);
}

CaseResult filterCase(const QString& check) {
    CaseResult c;
    c.group = "filter";
    c.layout = "hierarchy";
    c.mode = "contains";
    c.strength = "broad";
    c.text = "1";
    c.matches = 900;
    c.floorNodes = 950;
    c.fast.time = {25, 20, 30, 18, 28};
    c.fast.counters = {950, 3, 12000};
    c.fast.nodes = 957;
    c.fast.heapPerNode = 311.6;
    c.fast.engineAboveEmpty = 150 * 1024;
    c.fast.check = check;
    c.plain = c.fast;
    c.plain->time = {3, 200, 210, 180, 190};
    c.plain->capped = true;
    c.plain->capSeconds = 0.5;
    c.floor = Summary{100, 0.3, 0.4, 0.2, 0.25};
    return c;
}

TEST(BenchReport, RatiosTableAndJson) {
    EXPECT_EQ(BenchReport::ratio(180, 18), "10.0x");
    EXPECT_EQ(BenchReport::ratio(18, 0.2), "90.0x");
    EXPECT_EQ(BenchReport::ratio(1, 3), "0.33x");
    EXPECT_EQ(BenchReport::ratio(0, 3), "-");

    BenchOptions options = BenchOptions::parse({"--quick"});
    BenchReport report(options, QJsonObject{{"cpu", "test cpu"}, {"logicalCpus", 2}});
    SetResult set;
    set.name = "generated:1000";
    set.accounts = 1000;
    set.year = 2024;
    set.begins = {{"100102", 5}, {"600101", 51}, {"3", 211}};
    set.contains = {{"200204", 5}, {"600101", 51}, {"1", 927}};
    set.cases = {filterCase("same")};
    set.growth = GrowthResult{"flat", 20, 1000, 1400, 0, 0, 0.1};
    report.add(set);
    EXPECT_FALSE(report.failed());

    const QString table = report.table();
    EXPECT_TRUE(table.contains("filter hierarchy contains broad")) << table.toStdString();
    // CPU median 18 against plain 180 and floor 0.2; three plain runs stopped by the cap.
    EXPECT_TRUE(
        table.contains(QRegularExpression(" 18\\.0 .* 312 +150 +180 +3c +10\\.0x +0\\.20 +90\\.0x +ok\\n")))
        << table.toStdString();
    EXPECT_TRUE(table.contains("(20.0 B per change)")) << table.toStdString();

    const QJsonObject json = report.json();
    EXPECT_EQ(json["mode"].toString(), "quick");
    EXPECT_FALSE(json["failed"].toBool());
    const QJsonObject c = json["sets"][0]["cases"][0].toObject();
    EXPECT_EQ(c["case"].toString(), "filter hierarchy contains broad");
    EXPECT_EQ(c["fast"]["statements"].toInt(), 950);
    EXPECT_EQ(c["fast"]["heapPerNodeBytes"].toInt(), 312);
    EXPECT_EQ(c["fast"]["engineAboveEmptyBytes"].toInt(), 150 * 1024);
    EXPECT_DOUBLE_EQ(c["fast"]["time"]["cpuP95Ms"].toDouble(), 28);
    EXPECT_TRUE(c["plain"]["capped"].toBool());
    EXPECT_DOUBLE_EQ(c["floor"]["cpuMedianMs"].toDouble(), 0.2);
    EXPECT_EQ(json["sets"][0]["texts"]["contains"]["broad"]["matches"].toInt(), 927);
    EXPECT_DOUBLE_EQ(json["sets"][0]["growth"]["heapBytesPerChange"].toDouble(), 20);

    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(report.writeJson(dir.filePath("r.json"), &error)) << error.toStdString();
    QFile f(dir.filePath("r.json"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(f.readAll()).object()["sets"][0]["name"].toString(), "generated:1000");
    EXPECT_FALSE(report.writeJson(dir.filePath("missing/r.json"), &error));
}

TEST(BenchReport, ADifferenceFailsTheRunAndIsMarked) {
    BenchReport report(BenchOptions::parse({}), QJsonObject{});
    SetResult set;
    set.name = "standard";
    set.cases = {filterCase("tree 1 accounts, expected 2; missing b1002 under a1 \"1002 x\"")};
    set.problems << "filter hierarchy contains broad \"1\": tree 1 accounts, expected 2";
    report.add(set);
    EXPECT_TRUE(report.failed());
    EXPECT_TRUE(report.table().contains(QRegularExpression("DIFF\\n")));
    EXPECT_TRUE(report.table().contains("PROBLEM: filter hierarchy contains broad"));
    EXPECT_TRUE(report.json()["failed"].toBool());
}

} // namespace
