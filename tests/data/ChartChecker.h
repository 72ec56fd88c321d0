// Consistency rules of an account set's chart of accounts, checked on the database as the host
// and the dialog would read it. Each broken rule is reported as "rule: account ...", so a test
// can show both that a template is clean and that a broken chart is caught.
#pragma once

#include <QSqlDatabase>
#include <QStringList>

class ChartChecker {
public:
    // Rule names, the text before ':' in each problem.
    static inline const QString CodeLength = QStringLiteral("code length");
    static inline const QString Parent = QStringLiteral("parent");
    static inline const QString ParentClass = QStringLiteral("class of parent");
    static inline const QString EndLevel = QStringLiteral("end level");
    static inline const QString Flags = QStringLiteral("flag values");
    static inline const QString Class = QStringLiteral("class");
    static inline const QString Mnemonic = QStringLiteral("mnemonic");
    static inline const QString BankJournal = QStringLiteral("bank and journal");
    static inline const QString Exclusion = QStringLiteral("auxiliary exclusion");
    static inline const QString ProjectClass = QStringLiteral("project class");
    static inline const QString Texts = QStringLiteral("texts");
    static inline const QString Year = QStringLiteral("year");

    // Every problem found; empty for a consistent chart.
    static QStringList check(QSqlDatabase& db);
};
