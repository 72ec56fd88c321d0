// One hierarchy build's prefix joins answered from a single read. The build fills a temporary
// table with the filtered accounts, then asks, once per node, for the next grade's accounts under
// a code that lead to a filtered account:
//
//   select distinct code.cclass,...,code.igrade  from T inner join code on T.ccode like
//   code.ccode+'%' where [code.ccode like 'X%' and] code.igrade=G and code.iYear=Y order by code.ccode
//
// Every such answer is a part of one set: the year's accounts that lead to a filtered account,
// in code order. The memo reads the temporary table's codes and the year's accounts once and
// works that set out; a statement is then the accounts of grade G whose code begins with X, in
// the order read. The tests are the collation's own (a LIKE pattern without wildcards matches
// exactly the texts whose folded characters begin with its folded characters); a code holding a
// LIKE wildcard is tested with the engine's LIKE itself, and a statement whose X holds one is
// left to the engine.
//
// The memo is correct only while the data it read stays what the engine would read: the
// pipeline holds the engine's snapshot while it is in use and drops it at any write.
#pragma once

#include "host/db/TSqlToken.h"
#include "runtime/Variant.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace sarvo::db {

class ColumnIndex;
class Cursor;
class StoredRows;

class JoinMemo {
public:
    // Where a statement of the join's form keeps its parts (token indexes into its tokens).
    struct Form {
        QString table;         // the temporary table's name, as written in brackets
        int patternToken = -1; // 'X%'; -1 for the first grade's statement, which has none
        int gradeToken = -1;
        int yearToken = -1;
    };
    // The statement's form when its tokens are the join's, else none.
    static std::optional<Form> recognize(const QList<TSqlToken>& tokens);

    // The texts whose rows make the memo: the temporary table's codes, and the year's accounts
    // with the join's columns in the join's order.
    static QString codesQuery(const QString& table);
    static QString accountsQuery(const QString& yearLiteral);
    // The year's codes alone, and one branch of the year's accounts (those whose code begins
    // with root) with the join's columns in the join's order.
    static QString yearCodesQuery(const QString& yearLiteral);
    // How many accounts the year has: reading its codes to find branches pays only when few of
    // them lead to a filtered account.
    static QString yearCountQuery(const QString& yearLiteral);
    static QString branchQuery(const QString& yearLiteral, const QString& root);

    // Builds from the two queries' cursors, each read to its end: first the filtered codes
    // (their count, or -1), then the accounts. False (-1) when a value is not of the kind the
    // tests assume (a code that is not text, a grade that is not whole): the statements then
    // go to the engine.
    int readFiltered(Cursor& codes);
    // Groups of filtered codes that share their start (as long as the shortest code): few
    // groups make few branches likely.
    int filteredGroups() const { return m_groups; }
    // Optionally, before the accounts: the year's codes, to find the few branches that lead to
    // a filtered account (roots()), so that only those are read. False when a branch cannot be
    // read that way (a code that is a pattern, or holds a quote): then the whole year is read.
    bool readYearCodes(Cursor& codes);
    const QStringList& roots() const { return m_roots; }
    int yearRows() const { return m_yearRows; }
    int leadingCodes() const { return static_cast<int>(m_leading.size()); }
    // The accounts: the whole year in one cursor, or branch by branch (inParts for finish).
    bool readAccounts(Cursor& accounts);
    // The whole year's accounts as kept between builds: the memo refers to their rows.
    bool readAccounts(std::shared_ptr<const StoredRows> year);
    void finish(bool inParts);

    // Row indexes of an answer, in order: a part of the memo's own lists, which live as long as
    // the memo, or (when those are not in row order) a sorted copy of it.
    struct Rows {
        std::span<const int> rows;
        std::vector<int> owned; // rows points into it when it is not empty
    };
    // The answer for grade and the literal start of the LIKE pattern (null for none). False when
    // the pattern is not a plain prefix ("X%" without other wildcards).
    bool lookup(int grade, const QStringView* pattern, Rows* out) const;

    static constexpr int kColumns = 6; // the join's columns
    // The columns by name, shared by every cursor over the memo's rows.
    const std::shared_ptr<const ColumnIndex>& columnIndex() const { return m_columns; }
    // A value of a row, as the engine gave it; a text's UTF-8 without converting it (false when
    // the value is not text).
    Variant value(int row, int column) const;
    bool textBytes(int row, int column, QByteArray* out) const;
    bool wholeNumber(int row, int column, qint64* out) const;
    int rowCount() const { return static_cast<int>(m_kept ? m_keptRows.size() : m_cells.size() / kColumns); }

    // The folded form of UTF-8 text, character by character (trailing blanks kept): a text
    // begins like a pattern's literal start exactly when its folded bytes begin with the
    // start's folded bytes.
    static QByteArray foldChars(const QByteArray& utf8);

private:
    // Whether a code leads to a filtered one; *folded (when given) receives its folded form.
    bool leads(const QByteArray& code, QByteArray* folded = nullptr) const;

    std::vector<char> m_filteredText;         // the filtered codes, as stored and folded
    std::vector<std::string_view> m_filtered; // folded, sorted
    mutable size_t m_filteredHint = 0;        // where the last look-up in it ended
    std::vector<QByteArray> m_leading;        // the year's codes that lead to a filtered one
    QStringList m_roots;
    int m_yearRows = 0;
    int m_groups = 0;
    std::vector<std::string_view> m_stored; // as stored, for codes that are patterns themselves
    std::shared_ptr<const ColumnIndex> m_columns;
    // Accounts that lead to a filtered one, in code order, kColumns cells a row. Texts are kept
    // as UTF-8 in one block and made strings only when read: a build reads two texts of a row,
    // and the memo is made and let go of once per build.
    struct Cell {
        qint32 at = -1; // the text's offset in m_text, or kOther: m_other[size]
        qint32 size = 0;
    };
    static constexpr qint32 kOther = -1;
    static constexpr qint32 kKept = -2; // a folded code that is the kept code itself
    std::string_view text(const Cell& c) const { return {m_text.data() + c.at, static_cast<size_t>(c.size)}; }
    std::string_view foldedCode(size_t row) const;
    qint64 gradeOf(size_t row) const;
    std::vector<Cell> m_cells;
    std::vector<Cell> m_foldedCodes; // per row: its code folded (often the code's own bytes)
    std::vector<char> m_text;
    std::vector<Variant> m_other; // values that are not text (the grades, nulls)
    // Or, read from the kept year: its rows that lead to a filtered account (the cells above
    // stay empty but for folded codes that differ from the code).
    std::shared_ptr<const StoredRows> m_kept;
    std::vector<int> m_keptRows;
    std::vector<qint64> m_keptGrades; // the rows' grades, until finish() has sorted them by grade
    // Per grade: row indexes in code order, and the same sorted by folded code.
    struct Grade {
        std::vector<int> inOrder;
        std::vector<std::pair<std::string_view, int>> byFolded;
        std::vector<int> foldedRows; // byFolded's rows, in its order
        mutable size_t hint = 0;     // where the last look-up ended
    };
    // The usual grades by position (every statement looks its grade up), any other in a hash.
    static constexpr qint64 kListedGrades = 64;
    std::vector<Grade> m_listedGrades;
    QHash<qint64, Grade> m_otherGrades;
    Grade& gradeFor(qint64 grade);
    const Grade* findGrade(qint64 grade) const;
};

} // namespace sarvo::db
