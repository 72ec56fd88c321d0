// The chart of every template obeys the rules the dialog relies on (codes by the scheme,
// parents, end levels, flags, classes, mnemonics), and the rules catch a chart that breaks them.
#include "ChartChecker.h"
#include "TemplateFiles.h"
#include "TestDb.h"

#include <QFile>

namespace {

class TemplateChart : public ::testing::TestWithParam<const char*> {};

TEST_P(TemplateChart, ObeysEveryRule) {
    TestDb db(accountSetFile(QString::fromLatin1(GetParam())));
    ASSERT_GT(db.count(QStringLiteral("select count(*) from code")), 0);
    const QStringList problems = ChartChecker::check(db.db);
    EXPECT_TRUE(problems.isEmpty()) << problems.mid(0, 20).join(u'\n').toStdString();
}

TEST_P(TemplateChart, FirstGradeInEveryClassAndEveryClassKnown) {
    TestDb db(accountSetFile(QString::fromLatin1(GetParam())));
    const QStringList missing = db.rows(QStringLiteral(
        "select cclass from host_class where cclass not in (select cclass from code where igrade = 1)"));
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u',').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Templates, TemplateChart, ::testing::Values("standard", "budget", "generated:2000"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), ':', '_');
                             return name;
                         });

// One corruption per rule: the checker must name the rule it breaks.
struct Corruption {
    const char* sql;
    const QString& rule;
};

void PrintTo(const Corruption& c, std::ostream* os) {
    *os << c.sql;
}

class BrokenChart : public ::testing::TestWithParam<Corruption> {};

TEST_P(BrokenChart, IsCaught) {
    const QString copy = testFolder().filePath(QStringLiteral("broken.db"));
    QFile::remove(copy);
    ASSERT_TRUE(QFile::copy(accountSetFile(QStringLiteral("standard")), copy));
    TestDb db(copy);
    ASSERT_TRUE(ChartChecker::check(db.db).isEmpty());
    ASSERT_TRUE(db.exec(QString::fromUtf8(GetParam().sql)));
    const QStringList problems = ChartChecker::check(db.db);
    const QString rule = GetParam().rule + u':';
    EXPECT_TRUE(
        std::any_of(problems.begin(), problems.end(), [&](const QString& p) { return p.startsWith(rule); }))
        << "expected a \"" << GetParam().rule.toStdString() << "\" problem, got:\n"
        << problems.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BrokenChart,
    ::testing::Values(
        Corruption{"update code set ccode = '1002011' where ccode = '10020101'", ChartChecker::CodeLength},
        Corruption{"update code set igrade = 3 where ccode = '100201'", ChartChecker::CodeLength},
        Corruption{"delete from code where ccode = '100201' and iYear = 2024", ChartChecker::Parent},
        Corruption{"update code set cclass = '负债' where ccode = '100202'", ChartChecker::ParentClass},
        Corruption{"update code set bend = 0 where ccode = '10020101'", ChartChecker::EndLevel},
        Corruption{"update code set bend = 1 where ccode = '1002'", ChartChecker::EndLevel},
        Corruption{"delete from code where ccode like '222101__' and iYear = 2023", ChartChecker::EndLevel},
        Corruption{"update code set cclass = '其他' where ccode = '1001'", ChartChecker::Class},
        Corruption{"update code set chelp = 'kcxj' where ccode = '1001'", ChartChecker::Mnemonic},
        Corruption{"update code set chelp = 'KCX' where ccode = '1001'", ChartChecker::Mnemonic},
        Corruption{"update code set br = 0 where ccode = '100201'", ChartChecker::BankJournal},
        Corruption{"update code set bcus = 1 where ccode = '122101'", ChartChecker::Exclusion},
        Corruption{"update code set bsup = 1 where ccode = '112201'", ChartChecker::Exclusion},
        Corruption{"update code set citem_class = null where ccode = '160401'", ChartChecker::ProjectClass},
        Corruption{"update code set citem_class = '工程项目' where ccode = '1001'",
                   ChartChecker::ProjectClass},
        Corruption{"update code set cexch_name = '' where ccode = '10020102'", ChartChecker::Texts},
        Corruption{"update code set iYear = 2026 where ccode = '6901' and iYear = 2024",
                   ChartChecker::Year}));

} // namespace
