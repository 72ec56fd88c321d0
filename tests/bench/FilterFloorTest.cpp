// The floor as the expected tree of every filter case: which accounts a quick filter or the
// not-closed filter selects (LIKE meaning, closed accounts, null columns, unlisted classes) and
// which nodes the flat and the hierarchy layouts show under which parents.
#include "bench/FilterFloor.h"
#include "bench/AccountRows.h"
#include "runtime/RuntimeError.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace sarvo::bench;

namespace {

AccountRow row(const char* code, int grade, const char* cclass, const char* name, const char* english,
               const char* mnemonic, bool closed = false) {
    AccountRow r;
    r.code = code;
    r.grade = grade;
    r.cclass = QString::fromUtf8(cclass);
    r.name = QByteArray(name); // null for a null pointer
    r.english = QByteArray(english);
    r.mnemonic = QByteArray(mnemonic);
    r.closed = closed;
    return r;
}

// A small chart, out of code order on purpose: two listed classes, one the host does not list,
// a closed account with an open one below it, a grade left out in one branch, null columns.
AccountRows chart() {
    return AccountRows(
        {
            row("2001", 1, "负债", "短期借款", "Short-term loans", "DQJK"),
            row("1002", 1, "资产", "银行存款", "Bank deposits", "YHCK"),
            row("100201", 2, "资产", "工商银行", "ICBC", "GSYH"),
            row("10020101", 3, "资产", "人民币", "RMB", "RMB"),
            row("10020102", 3, "资产", "美元", "USD", "MY", true),
            row("100202", 2, "资产", "建设银行", "CCB", "JSYH", true),
            row("10020201", 3, "资产", "活期", "Current", "HQ"),
            row("1001", 1, "资产", "现金", nullptr, "XJ"),
            row("1003", 1, "资产", "存放中央银行款项", "Central bank", nullptr),
            row("10030101", 3, "资产", "准备金", "Reserve", "ZBJ"),
            row("9001", 1, "预算", "预算收入", "Budget revenue", "YSSR"),
        },
        {QStringLiteral("资产"), QStringLiteral("负债")});
}

// "key<parent text" lines in the order the tree adds them.
QStringList lines(const std::vector<TreeLine>& tree) {
    QStringList out;
    for (const TreeLine& l : tree)
        out << l.key + u'<' + l.parent + u' ' + l.text;
    return out;
}

TEST(FilterFloor, QuickFilterSelectsWhatTheDialogsConditionSelects) {
    const AccountRows rows = chart();
    const FilterFloor floor(rows);
    struct Case {
        const char* text;
        bool contains;
        QStringList codes;
    };
    const Case cases[] = {
        // Begins with: any of code, name, English name, mnemonic; closed accounts never.
        {"1002", false, {"1002", "100201", "10020101", "10020201"}},
        {"银行", false, {"1002"}},
        {"银行", true, {"1002", "100201", "1003"}},
        // LIKE ignores case, on the typed text and on the mnemonic's upper-cased one alike.
        {"rmb", false, {"10020101"}},
        {"yh", false, {"1002"}},
        {"cu", false, {"10020201"}},
        // The wildcards keep their meaning.
        {"_001", false, {"1001", "2001", "9001"}},
        {"1%01", false, {"1001", "100201", "10020101", "10020201", "10030101"}},
        // Null columns match nothing; the account is still found by its other columns.
        {"XJ", false, {"1001"}},
        {"Cash", true, {}},
        {"存放", false, {"1003"}},
        {"zz", true, {}},
    };
    for (const Case& c : cases) {
        QStringList found;
        for (const int i : floor.matching(FilterQuery::quick(QString::fromUtf8(c.text), c.contains)))
            found << QString::fromUtf8(rows.rows()[static_cast<size_t>(i)].code);
        EXPECT_EQ(found, c.codes) << c.text << (c.contains ? " (contains)" : " (begins)");
    }
    EXPECT_EQ(floor.matching(FilterQuery::notClosed()).size(), 9u);
}

TEST(FilterFloor, TreesHangAccountsUnderTheirClassOrTheirAccountOfTheGradeAbove) {
    const AccountRows rows = chart();
    const FilterFloor floor(rows);
    struct Case {
        FilterQuery query;
        bool hierarchy;
        QStringList tree;
    };
    const Case cases[] = {
        {FilterQuery::quick("10020101", false), false, {"b10020101<a1 10020101 人民币"}},
        // Ancestors lead down to the match even though they do not match themselves.
        {FilterQuery::quick("10020101", false),
         true,
         {"b1002<a1 1002 银行存款", "b100201<b1002 100201 工商银行", "b10020101<b100201 10020101 人民币"}},
        // A closed account is shown as the way to an open match below it.
        {FilterQuery::quick("活期", false),
         true,
         {"b1002<a1 1002 银行存款", "b100202<b1002 100202 建设银行", "b10020201<b100202 10020201 活期"}},
        {FilterQuery::quick("活期", false), false, {"b10020201<a1 10020201 活期"}},
        // An account of a class the host does not list is left out, in both layouts.
        {FilterQuery::quick("9001", false), false, {}},
        {FilterQuery::quick("9001", false), true, {}},
        // A match below a missing grade is shown flat; the hierarchy reaches only its first grade.
        {FilterQuery::quick("准备金", false), false, {"b10030101<a1 10030101 准备金"}},
        {FilterQuery::quick("准备金", false), true, {"b1003<a1 1003 存放中央银行款项"}},
        // Flat: every matching account under its class, whatever its grade, in code order.
        {FilterQuery::quick("1", true),
         false,
         {"b1001<a1 1001 现金", "b1002<a1 1002 银行存款", "b100201<a1 100201 工商银行",
          "b10020101<a1 10020101 人民币", "b10020201<a1 10020201 活期", "b1003<a1 1003 存放中央银行款项",
          "b10030101<a1 10030101 准备金", "b2001<a2 2001 短期借款"}},
        {FilterQuery::notClosed(),
         true,
         {"b1001<a1 1001 现金", "b1002<a1 1002 银行存款", "b100201<b1002 100201 工商银行",
          "b10020101<b100201 10020101 人民币", "b100202<b1002 100202 建设银行",
          "b10020201<b100202 10020201 活期", "b1003<a1 1003 存放中央银行款项", "b2001<a2 2001 短期借款"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lines(floor.tree(c.query, c.hierarchy)), c.tree)
            << c.query.text.toStdString() << (c.hierarchy ? " hierarchy" : " flat");
}

TEST(FilterFloor, EnglishNamesGiveTheNodeTextsAndANullNameLeavesTheCodeAndBlank) {
    const AccountRows rows = chart();
    EXPECT_EQ(lines(FilterFloor(rows, true).tree(FilterQuery::quick("100", false), false)).mid(0, 2),
              (QStringList{"b1001<a1 1001 ", "b1002<a1 1002 Bank deposits"}));
}

TEST(FilterFloor, CodesWithLettersOrWildcardsAreRefused) {
    for (const char* code : {"10A1", "10_1", "10%", "1[0]"}) {
        const AccountRows rows({row(code, 1, "资产", "x", "x", "X")}, {QStringLiteral("资产")});
        try {
            FilterFloor floor(rows);
            ADD_FAILURE() << code << " was taken";
        } catch (const sarvo::RuntimeError& e) {
            EXPECT_EQ(e.number(), 5) << code;
        }
    }
}

TEST(AccountRows, OrderClassesAncestorsAndParents) {
    const AccountRows rows = chart();
    QStringList seen;
    for (const AccountRow& r : rows.rows()) {
        const auto code = [&](int i) {
            return i < 0 ? QStringLiteral("-") : QString::fromUtf8(rows.rows()[static_cast<size_t>(i)].code);
        };
        seen << QStringLiteral("%1 c%2 %3 %4")
                    .arg(QString::fromUtf8(r.code))
                    .arg(r.classIndex)
                    .arg(code(r.ancestor), code(r.parent));
    }
    EXPECT_EQ(seen,
              (QStringList{"1001 c0 - -", "1002 c0 - -", "100201 c0 1002 1002", "10020101 c0 100201 100201",
                           "10020102 c0 100201 100201", "100202 c0 1002 1002", "10020201 c0 100202 100202",
                           "1003 c0 - -", "10030101 c0 1003 -", "2001 c1 - -", "9001 c-1 - -"}));
    EXPECT_EQ(rows.indexOf("100202"), 5);
    EXPECT_EQ(rows.indexOf("4004"), -1);
    EXPECT_EQ(rows.childCount(rows.indexOf("1002")), 2);
}

} // namespace
