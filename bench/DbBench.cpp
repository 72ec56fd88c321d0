// Per-statement cost of the component's statements on the embedded SQLite default, against a
// 50,000-account year, and with --postgresql=URL the same statements on the same account set on a
// PostgreSQL server (wall time: the server's work and the round trip), the two side by side at
// the end. Every statement kind runs twice: "plain" (literals written into the
// text, prepared anew each time, LIKE as a function test only, no index on the temporary table)
// and "fast" (bound literals and a statement cache, LIKE with index ranges, indexed temporary
// table). Counters beside the times: statements and rows per iteration.
//
//   sarvo-bench --micro [--accounts=N] [--postgresql=URL] [google benchmark options]
// URL names the server (postgresql://user@host:port/database); the account set is made in a
// database beside that one the first time and used again afterwards (ServerAccountSet).
// runMicroBenchmarks() runs every Google Benchmark of sarvo-bench.
#include "bench/MicroBench.h"
#include "host/db/Backend.h"
#include "host/db/Connection.h"
#include "host/db/Dialect.h"
#include "host/db/Recordset.h"
#include "host/db/TSqlTokenizer.h"
#include "host/db/TSqlTranslator.h"
#include "runtime/RuntimeError.h"

#ifdef SARVO_HAVE_DATA
#include "data/AccountSetTemplate.h"
#include "data/ServerAccountSet.h"
#endif

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <ctime>
#include <functional>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>

using sarvo::db::Connection;
using sarvo::db::PipelineOptions;
using sarvo::db::Recordset;
using sarvo::db::SqlValue;

namespace {

int g_accounts = 50000;
QString g_path;
QString g_connectionString; // the engine of the current pass
constexpr int kYear = 2024;
const QString kTemp = QStringLiteral("tempdb..[bench1]");

#ifndef SARVO_HAVE_DATA
// Without the data library: the same kind of chart, made here. Grade 1 takes four digits,
// every further grade two; each account gets children until the count is reached.
void generateAccounts(const QString& path, int count) {
    QFile schema(QStringLiteral(SARVO_SCHEMA_FILE));
    schema.open(QIODevice::ReadOnly);
    QFile(path).open(QIODevice::WriteOnly);
    Connection db(QStringLiteral("sqlite:") + path);
    db.open();
    for (const QString& s : QString::fromUtf8(schema.readAll()).split(QLatin1Char(';')))
        if (!s.trimmed().isEmpty() && !s.trimmed().startsWith(QLatin1String("--"))) db.native(s);
    db.native(QStringLiteral("BEGIN"));
    const QString insert =
        QStringLiteral("INSERT INTO code (iYear, cclass, ccode, ccode_name, ccode_engl, igrade, chelp, "
                       "cexch_name, bend) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    std::vector<std::pair<QString, int>> level;
    for (int i = 0; i < 500 && i < count; ++i)
        level.emplace_back(QString::number(1001 + i), 1);
    int made = 0;
    std::vector<std::pair<QString, int>> next;
    while (made < count && !level.empty()) {
        next.clear();
        for (const auto& [code, grade] : level) {
            if (made >= count) break;
            db.command(insert,
                       {SqlValue::ofInteger(kYear), SqlValue::ofText(QStringLiteral("资产")),
                        SqlValue::ofText(code), SqlValue::ofText(QStringLiteral("科目") + code),
                        SqlValue::ofText(QStringLiteral("Account ") + code), SqlValue::ofInteger(grade),
                        SqlValue::ofText(QStringLiteral("KM") + code.right(3)),
                        made % 20 == 0 ? SqlValue::ofText(QStringLiteral("USD")) : SqlValue(),
                        SqlValue::ofInteger(grade == 13 ? 1 : 0)});
            ++made;
            if (grade < 13)
                for (int c = 1; c <= (grade < 3 ? 25 : 3); ++c)
                    next.emplace_back(code + QStringLiteral("%1").arg(c, 2, 10, QLatin1Char('0')), grade + 1);
        }
        level.swap(next);
    }
    db.native(QStringLiteral("COMMIT"));
}
#endif

PipelineOptions modeOptions(int mode) {
    PipelineOptions o;
    o.cacheStatements = o.likeRanges = o.indexTempTables = o.memoJoins = mode != 0;
    return o;
}

std::shared_ptr<Connection> openConnection(int mode) {
    auto c = std::make_shared<Connection>(g_connectionString);
    c->open();
    c->setOptions(modeOptions(mode));
    return c;
}

// Reads every row of a query the way the component does, field by field; returns the rows.
int64_t readAll(const std::shared_ptr<Recordset>& rs, const QString& field) {
    int64_t rows = 0;
    while (!rs->eof()) {
        benchmark::DoNotOptimize(rs->field(field));
        ++rows;
        rs->moveNext();
    }
    rs->close();
    return rows;
}

void setCounters(benchmark::State& state, int64_t statements, int64_t rows) {
    state.counters["statements"] =
        benchmark::Counter(static_cast<double>(statements), benchmark::Counter::kAvgIterations);
    state.counters["rows"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kAvgIterations);
    state.SetLabel(state.range(0) ? "fast" : "plain");
}

QString filteredChildren(const QString& code, int grade) {
    return QStringLiteral(
               "select distinct "
               "code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,code.igrade  from ") +
           kTemp + QStringLiteral(" inner join code on ") + kTemp +
           QStringLiteral(".ccode like code.ccode+'%' where code.ccode like '") + code +
           QStringLiteral("%' and code.igrade=") + QString::number(grade) +
           QStringLiteral(" and code.iYear=") + QString::number(kYear) +
           QStringLiteral(" order by code.ccode ");
}

QString firstGrade() {
    return QStringLiteral(
               "select distinct "
               "code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,code.igrade  from ") +
           kTemp + QStringLiteral(" inner join code on ") + kTemp +
           QStringLiteral(".ccode like code.ccode+'%' where code.igrade=1 and code.iYear=") +
           QString::number(kYear) + QStringLiteral(" order by code.ccode ");
}

// The temporary table of the hierarchy layout, filled with the foreign-currency accounts
// (the attribute filter's " ( not cexch_name is null) "), about 2,000 of 50,000.
void fillTempTable(Connection& c) {
    c.tryExecute(QStringLiteral("drop table ") + kTemp);
    c.setCursorLocation(3);
    c.execute(QStringLiteral("select  * into ") + kTemp + QStringLiteral("  from code  where  iYear=") +
              QString::number(kYear) + QStringLiteral(" and ( ( not cexch_name is null) ) order by ccode "));
}

int64_t tempRows(Connection& c) {
    auto rs = c.execute(QStringLiteral("select count(*) as n from ") + kTemp);
    return rs->field(QStringLiteral("n")).toLong();
}

// Runs one query per iteration and reads every row, as the tree reads a result.
void timeQuery(benchmark::State& state, Connection& c, const QString& text) {
    int64_t n = 0, rows = 0;
    for (auto _ : state) {
        rows += readAll(c.execute(text), QStringLiteral("ccode"));
        ++n;
    }
    setCounters(state, n, rows);
}

// ---- statement kinds --------------------------------------------------------------------------

// Part of every request: does the year have accounts? One row is read of 50,000.
void BM_YearCheck(benchmark::State& state) {
    auto c = openConnection(static_cast<int>(state.range(0)));
    int64_t n = 0;
    for (auto _ : state) {
        auto rs = c->execute(QStringLiteral("select * from code where iYear=") + QString::number(kYear));
        benchmark::DoNotOptimize(rs->eof());
        rs->close();
        ++n;
    }
    setCounters(state, n, n);
}

// Flat tree with a begins-with quick filter on a code.
void BM_FlatTreeQuickFilter(benchmark::State& state) {
    auto c = openConnection(static_cast<int>(state.range(0)));
    timeQuery(state, *c,
              QStringLiteral("select * from code where  iYear=") + QString::number(kYear) +
                  QStringLiteral(" and (   ( ccode like N'1001%' or  ccode_name like N'1001%' or "
                                 "ccode_engl like N'1001%' or  chelp like N'1001%' )) order by ccode "));
}

// One grade level below a parent code, as a node click loads it.
void BM_GradeLevel(benchmark::State& state) {
    auto c = openConnection(static_cast<int>(state.range(0)));
    timeQuery(state, *c,
              QStringLiteral("select * from code where    igrade =2 and ccode like N'1001%' and iYear=") +
                  QString::number(kYear) + QStringLiteral(" order by ccode"));
}

// Confirmation: the chosen account's row.
void BM_ConfirmLookup(benchmark::State& state) {
    auto c = openConnection(static_cast<int>(state.range(0)));
    int64_t n = 0;
    for (auto _ : state) {
        auto rs = c->execute(QStringLiteral("Select Top 1 * FROM code Where ccode= N'100101' and iYear=") +
                             QString::number(kYear) + QStringLiteral(" Order By ccode"));
        benchmark::DoNotOptimize(rs->field(QStringLiteral("ccode_engl")));
        rs->close();
        ++n;
    }
    setCounters(state, n, n);
}

// The same look-up with the code typed in full-width digits: the collation finds the row in the
// same index range.
void BM_ConfirmLookupWide(benchmark::State& state) {
    auto c = openConnection(static_cast<int>(state.range(0)));
    int64_t n = 0;
    for (auto _ : state) {
        auto rs =
            c->execute(QStringLiteral("Select Top 1 * FROM code Where ccode= N'１００１０１' and iYear=") +
                       QString::number(kYear) + QStringLiteral(" Order By ccode"));
        benchmark::DoNotOptimize(rs->field(QStringLiteral("ccode_engl")));
        rs->close();
        ++n;
    }
    setCounters(state, n, n);
}

// The host's look-ups with bound values, as the tree's node looks ask them: one account (a
// tooltip, a code check), and the accounts of a screenful of nodes (range(1) codes in one IN).
void BM_HostLookup(benchmark::State& state) {
    auto c = openConnection(static_cast<int>(state.range(0)));
    const int count = static_cast<int>(state.range(1));
    std::vector<SqlValue> params{SqlValue::ofInteger(kYear)};
    QStringList marks;
    const bool numbered = c->backend()->dialect().placeholder == sarvo::db::Dialect::Placeholder::Numbered;
    auto codes = c->native(numbered ? QStringLiteral("SELECT ccode FROM code WHERE iYear = $1 ORDER BY ccode "
                                                     "LIMIT $2 OFFSET 20000")
                                    : QStringLiteral("SELECT ccode FROM code WHERE iYear = ? ORDER BY ccode "
                                                     "LIMIT ? OFFSET 20000"),
                           {SqlValue::ofInteger(kYear), SqlValue::ofInteger(count)});
    for (; !codes->eof(); codes->moveNext()) {
        params.push_back(SqlValue::ofText(codes->fieldAt(0).toDisplayText()));
        marks << QStringLiteral("?");
    }
    codes->close();
    const QString text =
        count == 1 ? QStringLiteral("SELECT bend, bclose FROM code WHERE iYear = ? AND ccode = ?")
                   : QStringLiteral("select ccode, ccode_name, ccode_engl, bclose from code where iYear=? "
                                    "and ccode in (") +
                         marks.join(QLatin1Char(',')) + QLatin1Char(')');
    int64_t n = 0, rows = 0;
    for (auto _ : state) {
        for (auto rs = c->query(text, params); !rs->eof(); rs->moveNext())
            ++rows;
        ++n;
    }
    setCounters(state, n, rows);
}

// Flat tree with a begins-with quick filter and a host's extra condition in the server's T-SQL.
void BM_FlatTreeHostCondition(benchmark::State& state) {
    auto c = openConnection(static_cast<int>(state.range(0)));
    timeQuery(
        state, *c,
        QStringLiteral("select * from code where  iYear=") + QString::number(kYear) +
            QStringLiteral(" and (   ( ccode like N'1001%' or  ccode_name like N'1001%' or "
                           "ccode_engl like N'1001%' or  chelp like N'1001%' ) and right(ccode,2)='01' and "
                           "charindex(N'0', ccode)>0) order by ccode "));
}

// Recently used: add and remove one entry (two statements).
void BM_RecentlyUsedWrite(benchmark::State& state) {
    auto c = openConnection(static_cast<int>(state.range(0)));
    int64_t n = 0;
    for (auto _ : state) {
        c->execute(QStringLiteral("insert into GL_mcodeused values(N'bench',N'100101')"));
        c->execute(QStringLiteral("delete from GL_mcodeused where cuser =N'bench' and ccode = N'100101'"));
        n += 2;
    }
    setCounters(state, n, 0);
}

// The hierarchy layout's set-up: drop, fill and index the temporary table (two statements).
void BM_TempTableFill(benchmark::State& state) {
    auto c = openConnection(static_cast<int>(state.range(0)));
    int64_t n = 0;
    for (auto _ : state) {
        fillTempTable(*c);
        n += 2;
    }
    state.counters["temp_rows"] = static_cast<double>(tempRows(*c));
    setCounters(state, n, 0);
}

// The hierarchy layout's first level: every first-grade account above a filtered account.
void BM_FirstGradeJoin(benchmark::State& state) {
    auto c = openConnection(static_cast<int>(state.range(0)));
    fillTempTable(*c);
    timeQuery(state, *c, firstGrade());
    state.counters["temp_rows"] = static_cast<double>(tempRows(*c));
}

// Every account above a filtered account, all grades at once.
void BM_AncestorQuery(benchmark::State& state) {
    auto c = openConnection(1);
    fillTempTable(*c);
    timeQuery(
        state, *c,
        QStringLiteral("select distinct code.cclass,code.cClass,code.ccode,code.cCode_name,code.ccode_engl,"
                       "code.igrade  from ") +
            kTemp + QStringLiteral(" inner join code on ") + kTemp +
            QStringLiteral(".ccode like code.ccode+'%' where code.iYear=") + QString::number(kYear) +
            QStringLiteral(" order by code.ccode "));
}
BENCHMARK(BM_AncestorQuery)->ArgName("fast")->Arg(1)->Unit(benchmark::kMillisecond);

// The target statement: the next grade below one account through the prefix join.
void BM_FilteredChildren(benchmark::State& state) {
    auto c = openConnection(static_cast<int>(state.range(0)));
    fillTempTable(*c);
    timeQuery(state, *c, filteredChildren(QStringLiteral("1001"), 2));
    state.counters["temp_rows"] = static_cast<double>(tempRows(*c));
}

// A whole hierarchy load as the tree build runs it: first grade, then depth-first one statement
// per node (leaves included), each record read while its branch is loaded.
void loadChildren(Connection& c, const QString& code, int grade, int64_t& statements, int64_t& rows) {
    auto rs = c.execute(filteredChildren(code, grade + 1));
    ++statements;
    while (!rs->eof()) {
        ++rows;
        loadChildren(c, rs->field(QStringLiteral("cCode")).toString(),
                     rs->field(QStringLiteral("igrade")).toLong(), statements, rows);
        rs->moveNext();
    }
}

void BM_HierarchyLoad(benchmark::State& state) {
    auto c = openConnection(static_cast<int>(state.range(0)));
    fillTempTable(*c);
    int64_t n = 0, rows = 0;
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        auto rs = c->execute(firstGrade());
        ++n;
        while (!rs->eof()) {
            ++rows;
            loadChildren(*c, rs->field(QStringLiteral("ccode")).toString(), 1, n, rows);
            rs->moveNext();
        }
    }
    state.counters["temp_rows"] = static_cast<double>(tempRows(*c));
    // Processor time per statement, in microseconds: the statements of one load nest inside
    // the records of their parents, so the per-iteration time alone hides the unit of interest.
    state.counters["cpu_us_per_statement"] = 1e6 * static_cast<double>(std::clock() - start) /
                                             CLOCKS_PER_SEC / static_cast<double>(std::max<int64_t>(n, 1));
    setCounters(state, n, rows);
}

// Rendering alone: tokenize, parse and render the target statement.
void BM_RenderOnly(benchmark::State& state) {
    auto c = openConnection(1);
    fillTempTable(*c);
    const QString text = filteredChildren(QStringLiteral("1001"), 2);
    int64_t n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(c->render(text));
        ++n;
    }
    state.counters["statements"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kAvgIterations);
}

// The translator's own shape match: tokenize the text, make its shape key, rebind the shape's
// rendering to this text's literals. (The pipeline no longer does this on a hit; see
// BM_LiteralScan.)
void BM_ShapeHit(benchmark::State& state) {
    auto c = openConnection(1);
    fillTempTable(*c);
    const QString shapeText = filteredChildren(QStringLiteral("1001"), 2);
    const QString text = filteredChildren(QStringLiteral("100102"), 3);
    sarvo::db::SchemaInfo schema;
    schema.setTable(false, QStringLiteral("code"),
                    {{QStringLiteral("ccode"), sarvo::db::SchemaInfo::Type::Text},
                     {QStringLiteral("igrade"), sarvo::db::SchemaInfo::Type::Numeric},
                     {QStringLiteral("iYear"), sarvo::db::SchemaInfo::Type::Numeric}});
    schema.setTable(true, QStringLiteral("bench1"),
                    {{QStringLiteral("ccode"), sarvo::db::SchemaInfo::Type::Text}});
    const auto shapeTokens = sarvo::db::TSqlTokenizer::tokenize(shapeText);
    const sarvo::db::Rendering shape =
        sarvo::db::TSqlTranslator(sarvo::db::Dialect::sqlite(), &schema).translate(shapeText, shapeTokens);
    const QString shapeKey = sarvo::db::TSqlTranslator::shapeKey(shapeTokens);
    int64_t n = 0;
    for (auto _ : state) {
        const auto tokens = sarvo::db::TSqlTokenizer::tokenize(text);
        if (sarvo::db::TSqlTranslator::shapeKey(tokens) != shapeKey) state.SkipWithError("another shape");
        sarvo::db::Rendering r;
        if (!sarvo::db::TSqlTranslator::rebind(shape, shapeTokens, tokens, &r))
            state.SkipWithError("no rebind");
        benchmark::DoNotOptimize(r);
        ++n;
    }
    state.counters["statements"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kAvgIterations);
}

// What a statement of a known shape costs the pipeline before it reaches the engine or the
// build's memo: one scan for its literals and their values (the text between them is then
// compared with the shape's).
void BM_LiteralScan(benchmark::State& state) {
    const QString text = filteredChildren(QStringLiteral("100102"), 3);
    std::vector<sarvo::db::TSqlTokenizer::Literal> literals;
    int64_t n = 0;
    for (auto _ : state) {
        sarvo::db::TSqlTokenizer::scanLiterals(text, &literals);
        for (const auto& l : literals)
            benchmark::DoNotOptimize(sarvo::db::TSqlTokenizer::literalValue(text, l));
        ++n;
    }
    state.counters["statements"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kAvgIterations);
}

void joinArgs(benchmark::internal::Benchmark* b) {
    b->ArgName("fast")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_YearCheck)->ArgName("fast")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlatTreeQuickFilter)->ArgName("fast")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GradeLevel)->ArgName("fast")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConfirmLookup)->ArgName("fast")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConfirmLookupWide)->ArgName("fast")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HostLookup)
    ->ArgNames({"fast", "codes"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 30})
    ->Args({1, 30})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlatTreeHostCondition)->ArgName("fast")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecentlyUsedWrite)->ArgName("fast")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TempTableFill)->ArgName("fast")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstGradeJoin)->Apply(joinArgs)->MinTime(0.5);
BENCHMARK(BM_FilteredChildren)->Apply(joinArgs)->MinTime(0.5);
BENCHMARK(BM_HierarchyLoad)->ArgName("fast")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShapeHit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LiteralScan)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// The console output as usual, and per benchmark its wall time per statement, for the table of
// the engines side by side.
class EngineTable : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration) continue;
            const auto statements = r.counters.find("statements");
            const double perIteration = statements == r.counters.end() || statements->second.value <= 0
                                            ? 1
                                            : statements->second.value;
            const double us = r.GetAdjustedRealTime() * 1e6 / benchmark::GetTimeUnitMultiplier(r.time_unit);
            m_times[m_engine][r.benchmark_name()] = us / perIteration;
            if (std::find(m_names.begin(), m_names.end(), r.benchmark_name()) == m_names.end())
                m_names.push_back(r.benchmark_name());
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void setEngine(const std::string& engine) {
        m_engine = engine;
        m_engines.push_back(engine);
    }

    void printTable(std::ostream& out) const {
        out << "\nWall time per statement (us), " << g_accounts << " accounts\n";
        out << std::left << std::setw(52) << "statement";
        for (const std::string& e : m_engines)
            out << std::right << std::setw(12) << e;
        out << '\n';
        for (const std::string& name : m_names) {
            out << std::left << std::setw(52) << name;
            for (const std::string& e : m_engines) {
                const auto& times = m_times.at(e);
                const auto t = times.find(name);
                if (t == times.end())
                    out << std::right << std::setw(12) << "-";
                else
                    out << std::right << std::setw(12) << std::fixed << std::setprecision(1) << t->second;
            }
            out << '\n';
        }
    }

private:
    std::string m_engine;
    std::vector<std::string> m_engines;
    std::vector<std::string> m_names;
    std::map<std::string, std::map<std::string, double>> m_times;
};

// The benchmarks that send statements to the engine; the rest (rendering, the tree) run once.
const char* kEngineBenchmarks =
    "^BM_(YearCheck|FlatTree|GradeLevel|Confirm|HostLookup|RecentlyUsed|TempTable|FirstGrade|Filtered|"
    "Hierarchy|Ancestor)";

} // namespace

int sarvo::bench::runMicroBenchmarks(int argc, char** argv) {
    std::vector<char*> args;
    QString server;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--accounts=", 11) == 0)
            g_accounts = std::atoi(argv[i] + 11);
        else if (std::strncmp(argv[i], "--postgresql=", 13) == 0)
            server = QString::fromUtf8(argv[i] + 13);
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    QTemporaryDir dir;
    g_path = dir.filePath(QStringLiteral("bench.db"));
    try {
#ifdef SARVO_HAVE_DATA
        sarvo::data::createAccountSet(g_path, QStringLiteral("generated:%1").arg(g_accounts));
#else
        generateAccounts(g_path, g_accounts);
#endif
    } catch (const sarvo::RuntimeError& e) {
        std::cerr << "cannot create the account set: " << e.what() << '\n';
        return 1;
    }
    std::vector<std::pair<std::string, QString>> engines{{"sqlite", QStringLiteral("sqlite:") + g_path}};
    if (!server.isEmpty()) {
#ifdef SARVO_HAVE_DATA
        try {
            engines.emplace_back("postgresql", sarvo::data::ServerAccountSet::ensure(
                                                   server, QStringLiteral("generated:%1").arg(g_accounts)));
        } catch (const sarvo::RuntimeError& e) {
            std::cerr << "cannot make the account set on the server: " << e.what() << '\n';
            return 1;
        }
#else
        std::cerr << "--postgresql needs the data library\n";
        return 1;
#endif
    }
    benchmark::Initialize(&count, args.data());
    benchmark::AddCustomContext("accounts", std::to_string(g_accounts));
    const std::string filter = benchmark::GetBenchmarkFilter();
    EngineTable table;
    for (size_t i = 0; i < engines.size(); ++i) {
        g_connectionString = engines[i].second;
        table.setEngine(engines[i].first);
        std::cout << "\n== " << engines[i].first << " ==" << std::endl;
        // The benchmarks without an engine need no second run.
        benchmark::RunSpecifiedBenchmarks(&table,
                                          i == 0 || (filter != "." && filter != "all" && !filter.empty())
                                              ? filter
                                              : std::string(kEngineBenchmarks));
    }
    if (engines.size() > 1) table.printTable(std::cout);
    benchmark::Shutdown();
    return 0;
}
