// The chart of every template obeys the rules the dialog relies on, checked on the database as
// the host and the dialog read it, and each rule catches a chart broken on purpose.
#include "TestDb.h"

#include <QFile>
#include <QRegularExpression>

namespace {

// Each rule as the condition an account c of table code breaks it with; p is a parent.
const std::pair<const char*, const char*> kRules[] = {
    {"year", "c.iYear not in (select iYear from host_year)"},
    {"class", "c.cclass not in (select cclass from host_class)"},
    // Codes are numbered by class: the first digit is the class's position, from 1.
    {"class digit", "c.cclass is not (select cclass from host_class where iPosition + 1 = "
                    "cast(substr(c.ccode, 1, 1) as integer))"},
    {"code length", "length(c.ccode) is not (select iLength from host_scheme where iGrade = c.igrade)"},
    {"parent", "c.igrade > 1 and not exists (select 1 from code p where p.iYear = c.iYear and p.igrade = "
               "c.igrade - 1 and p.ccode = substr(c.ccode, 1, length(p.ccode)))"},
    {"class of parent",
     "exists (select 1 from code p where p.iYear = c.iYear and p.igrade = c.igrade - 1 and "
     "p.ccode = substr(c.ccode, 1, length(p.ccode)) and p.cclass <> c.cclass)"},
    // An account takes postings exactly when it has no sub-account in that year.
    {"end level", "c.bend = exists (select 1 from code k where k.iYear = c.iYear and k.igrade = c.igrade + 1 "
                  "and substr(k.ccode, 1, length(c.ccode)) = c.ccode)"},
    {"bank and journal", "c.be = 1 and c.br = 0"},
    // The attribute filter never lets the user tick these together.
    {"auxiliary exclusion", "c.bperson = 1 and c.bcus + c.bsup + c.bdept > 0 or c.bcus = 1 and c.bsup = 1"},
    {"project class", "c.bitem = (ifnull(c.citem_class, '') = '')"},
    {"texts", "ifnull(c.ccode_name, '') = '' or ifnull(c.ccode_engl, '') = '' or c.cexch_name = '' or "
              "c.cmeasure = ''"},
};

// Every broken rule as "rule: code|year"; empty for a consistent chart.
QStringList problems(TestDb& db) {
    QStringList found;
    for (const auto& [rule, condition] : kRules)
        for (const QString& account :
             db.rows(QStringLiteral("select ccode, iYear from code c where ") + condition))
            found << QStringLiteral("%1: %2").arg(QLatin1String(rule), account);
    // The mnemonic: one capital per Chinese character of the name, its digits and Latin letters kept.
    static const QRegularExpression capitals(QStringLiteral("^[A-Z0-9]+$"));
    for (const QString& row : db.rows("select ccode, iYear, ccode_name, chelp from code")) {
        const QStringList f = row.split(u'|');
        const auto letters = std::count_if(f[2].begin(), f[2].end(), [](QChar c) {
            return (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) ||
                   (c.unicode() < 128 && c.isLetterOrNumber());
        });
        if (f[3].size() != letters || !capitals.match(f[3]).hasMatch())
            found << "mnemonic: " + f[0] + u'|' + f[1];
    }
    return found;
}

TEST(TemplateChart, EveryTemplateObeysEveryRule) {
    for (const char* name : {"standard", "budget", "generated:2000"}) {
        TestDb db(accountSetFile(name));
        EXPECT_EQ(problems(db).mid(0, 20), QStringList()) << name;
        EXPECT_EQ(db.rows("select cclass from host_class where cclass not in (select cclass from code where "
                          "igrade = 1)"),
                  QStringList())
            << name << ": every class has first-grade accounts";
    }
}

// One corruption per rule, each undone before the next: the check must name the rule it breaks.
TEST(TemplateChart, EveryRuleCatchesAChartThatBreaksIt) {
    const QString copy = testFolder().filePath("broken.db");
    QFile::remove(copy);
    ASSERT_TRUE(QFile::copy(accountSetFile("standard"), copy));
    TestDb db(copy);
    for (const auto& [sql, rule] : std::initializer_list<std::pair<const char*, const char*>>{
             {"update code set ccode = '1002011' where ccode = '10020101'", "code length"},
             {"delete from code where ccode = '100201' and iYear = 2024", "parent"},
             {"update code set cclass = '负债' where ccode = '100202'", "class of parent"},
             {"update code set bend = 0 where ccode = '10020101'", "end level"},
             {"delete from code where ccode like '222101__' and iYear = 2023", "end level"},
             {"update code set cclass = '其他' where ccode = '1001'", "class"},
             {"update code set cclass = '负债' where ccode = '1001'", "class digit"},
             {"update code set chelp = 'kcxj' where ccode = '1001'", "mnemonic"},
             {"update code set chelp = 'KCX' where ccode = '1001'", "mnemonic"},
             {"update code set br = 0 where ccode = '100201'", "bank and journal"},
             {"update code set bcus = 1 where ccode = '122101'", "auxiliary exclusion"},
             {"update code set bsup = 1 where ccode = '112201'", "auxiliary exclusion"},
             {"update code set citem_class = '工程项目' where ccode = '1001'", "project class"},
             {"update code set cexch_name = '' where ccode = '10020102'", "texts"},
             {"update code set iYear = 2026 where ccode = '6901' and iYear = 2024", "year"}}) {
        db.db.native("BEGIN");
        db.rows(QString::fromUtf8(sql));
        const QStringList found = problems(db);
        EXPECT_TRUE(
            std::any_of(found.begin(), found.end(),
                        [&](const QString& p) { return p.startsWith(QString::fromUtf8(rule) + u':'); }))
            << sql << " is not caught as \"" << rule << "\"; found: " << found.join(u',').toStdString();
        db.db.native("ROLLBACK");
    }
    EXPECT_EQ(problems(db), QStringList()) << "every corruption undone";
}

} // namespace
