// The chart rules, evaluated in memory over all rows of table code.
#include "ChartChecker.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>

namespace {

struct Row {
    int year = 0;
    QString cclass, ccode, name, english, chelp, itemClass;
    QVariant currencyRaw, unitRaw;
    int grade = 0;
    int person = 0, customer = 0, supplier = 0, department = 0, project = 0, end = 0, journal = 0, bank = 0,
        closed = 0;
};

// The mnemonic has one letter per Chinese character of the name and keeps its digits and
// Latin letters.
int mnemonicLength(const QString& name) {
    int n = 0;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if ((u >= 0x4E00 && u <= 0x9FFF) || (u < 128 && c.isLetterOrNumber())) ++n;
    }
    return n;
}

} // namespace

QStringList ChartChecker::check(QSqlDatabase& db) {
    QStringList problems;
    auto report = [&](const QString& rule, const Row& r, const QString& what) {
        problems << QStringLiteral("%1: account %2 of %3 %4").arg(rule, r.ccode).arg(r.year).arg(what);
    };

    QHash<int, int> scheme; // grade -> total length
    QSqlQuery q(db);
    q.exec(QStringLiteral("select iGrade, iLength from host_scheme"));
    while (q.next())
        scheme.insert(q.value(0).toInt(), q.value(1).toInt());
    QSet<QString> classes;
    q.exec(QStringLiteral("select cclass from host_class"));
    while (q.next())
        classes.insert(q.value(0).toString());
    QSet<int> years;
    q.exec(QStringLiteral("select iYear from host_year"));
    while (q.next())
        years.insert(q.value(0).toInt());

    std::vector<Row> rows;
    q.exec(QStringLiteral(
        "select iYear, cclass, ccode, ccode_name, ccode_engl, chelp, citem_class, cexch_name, "
        "cmeasure, igrade, bperson, bcus, bsup, bdept, bitem, bend, br, be, bclose from code"));
    while (q.next()) {
        Row r;
        r.year = q.value(0).toInt();
        r.cclass = q.value(1).toString();
        r.ccode = q.value(2).toString();
        r.name = q.value(3).toString();
        r.english = q.value(4).toString();
        r.chelp = q.value(5).toString();
        r.itemClass = q.value(6).toString();
        r.currencyRaw = q.value(7);
        r.unitRaw = q.value(8);
        r.grade = q.value(9).toInt();
        int* flags[] = {&r.person, &r.customer, &r.supplier, &r.department, &r.project,
                        &r.end,    &r.journal,  &r.bank,     &r.closed};
        for (int i = 0; i < 9; ++i)
            *flags[i] = q.value(10 + i).toInt();
        rows.push_back(std::move(r));
    }

    QHash<QString, const Row*> byKey; // year/code
    QSet<QString> hasChild;
    auto key = [](int year, const QString& code) { return QString::number(year) + u'/' + code; };
    for (const Row& r : rows)
        byKey.insert(key(r.year, r.ccode), &r);
    for (const Row& r : rows) {
        if (r.grade > 1 && scheme.contains(r.grade - 1))
            hasChild.insert(key(r.year, r.ccode.left(scheme[r.grade - 1])));
    }

    static const QRegularExpression mnemonic(QStringLiteral("^[A-Z0-9]+$"));
    for (const Row& r : rows) {
        if (!years.contains(r.year))
            report(Year, r, QStringLiteral("is in a year the account set does not have"));
        if (!scheme.contains(r.grade) || r.ccode.size() != scheme[r.grade])
            report(CodeLength, r,
                   QStringLiteral("has grade %1 but %2 digits").arg(r.grade).arg(r.ccode.size()));
        if (r.grade > 1 && scheme.contains(r.grade - 1)) {
            const Row* parent = byKey.value(key(r.year, r.ccode.left(scheme[r.grade - 1])));
            if (!parent || parent->grade != r.grade - 1)
                report(Parent, r, QStringLiteral("has no parent of grade %1").arg(r.grade - 1));
            else if (parent->cclass != r.cclass)
                report(ParentClass, r,
                       QStringLiteral("is in %1, its parent in %2").arg(r.cclass, parent->cclass));
        }
        if (r.end != (hasChild.contains(key(r.year, r.ccode)) ? 0 : 1))
            report(EndLevel, r, QStringLiteral("has bend=%1").arg(r.end));
        for (int flag :
             {r.person, r.customer, r.supplier, r.department, r.project, r.end, r.journal, r.bank, r.closed})
            if (flag != 0 && flag != 1) report(Flags, r, QStringLiteral("has a flag of %1").arg(flag));
        if (!classes.contains(r.cclass))
            report(Class, r, QStringLiteral("has the unknown class %1").arg(r.cclass));
        if (!mnemonic.match(r.chelp).hasMatch() || r.chelp.size() != mnemonicLength(r.name))
            report(Mnemonic, r, QStringLiteral("\"%1\" does not fit \"%2\"").arg(r.chelp, r.name));
        if (r.bank && !r.journal)
            report(BankJournal, r, QStringLiteral("is a bank account but no journal account"));
        if ((r.person && (r.customer || r.supplier || r.department)) || (r.customer && r.supplier))
            report(Exclusion, r, QStringLiteral("combines auxiliary kinds that exclude each other"));
        if (r.project != (r.itemClass.isEmpty() ? 0 : 1))
            report(ProjectClass, r,
                   QStringLiteral("has bitem=%1 and project class \"%2\"").arg(r.project).arg(r.itemClass));
        if (r.name.isEmpty() || r.english.isEmpty() ||
            (!r.currencyRaw.isNull() && r.currencyRaw.toString().isEmpty()) ||
            (!r.unitRaw.isNull() && r.unitRaw.toString().isEmpty()))
            report(Texts, r, QStringLiteral("has an empty name, English name, currency or unit"));
    }
    return problems;
}
