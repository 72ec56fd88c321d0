// Printing and JSON of the end-to-end results.
#include "bench/BenchReport.h"

#include "bench/EngineSwitches.h"
#include "bench/MachineNote.h"
#include "bench/TreeCheck.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace sarvo::bench {

namespace {

// Below this many nodes the heap's own noise outweighs the tree's share: per-node heap is left
// out of the table (the JSON keeps it).
constexpr int kNodesForHeapPerNode = 500;

QString num(double v) {
    if (v >= 100) return QString::number(v, 'f', 0);
    if (v >= 10) return QString::number(v, 'f', 1);
    return QString::number(v, 'f', 2);
}

QString cell(const QString& text, int width, bool left = false) {
    return left ? text.leftJustified(width) : text.rightJustified(width);
}

QString treeMark(const QString& check) {
    if (check.isEmpty()) return QStringLiteral("-");
    return check == QLatin1String(TreeCheck::kSame) ? QStringLiteral("ok") : QStringLiteral("DIFF");
}

QString reps(const TimedRuns& r) {
    return QString::number(r.time.count) + (r.capped ? QStringLiteral("c") : QString()) +
           (r.stopped ? QStringLiteral("s") : QString());
}

QJsonObject summaryJson(const Summary& s) {
    return {{QStringLiteral("count"), s.count},
            {QStringLiteral("cpuMedianMs"), s.cpuMedian},
            {QStringLiteral("cpuP95Ms"), s.cpuP95},
            {QStringLiteral("wallMedianMs"), s.wallMedian},
            {QStringLiteral("wallP95Ms"), s.wallP95}};
}

QJsonObject runsJson(const TimedRuns& r) {
    QJsonObject o{{QStringLiteral("time"), summaryJson(r.time)},
                  {QStringLiteral("handler"), summaryJson(r.handler)},
                  {QStringLiteral("capped"), r.capped},
                  {QStringLiteral("capSeconds"), r.capSeconds},
                  {QStringLiteral("statements"), r.counters.statements},
                  {QStringLiteral("prepares"), r.counters.prepares},
                  {QStringLiteral("rows"), r.counters.rows},
                  {QStringLiteral("nodes"), r.nodes},
                  {QStringLiteral("peakResidentBytes"), static_cast<qint64>(r.peakResident)},
                  {QStringLiteral("heapAboveEmptyBytes"), qRound64(r.heapAboveEmpty)},
                  {QStringLiteral("heapPerNodeBytes"), qRound64(r.heapPerNode)},
                  {QStringLiteral("engineAboveEmptyBytes"), qRound64(r.engineAboveEmpty)}};
    if (r.stopped) {
        o.insert(QStringLiteral("stopped"), true);
        o.insert(QStringLiteral("stoppedAfterMs"), r.stoppedAfterMs);
        o.insert(QStringLiteral("statementsBeforeStop"), r.stoppedStatements);
    }
    if (!r.check.isEmpty()) o.insert(QStringLiteral("tree"), r.check);
    return o;
}

QJsonObject textsJson(const ChosenTexts& t) {
    auto one = [](const ChosenText& c) {
        return QJsonObject{{QStringLiteral("text"), c.text}, {QStringLiteral("matches"), c.matches}};
    };
    return {{QStringLiteral("narrow"), one(t.narrow)},
            {QStringLiteral("medium"), one(t.medium)},
            {QStringLiteral("broad"), one(t.broad)}};
}

} // namespace

BenchReport::BenchReport(BenchOptions options, QJsonObject machine)
    : m_options(std::move(options)), m_machine(std::move(machine)) {}

bool BenchReport::failed() const {
    for (const SetResult& s : m_sets)
        if (!s.problems.isEmpty()) return true;
    return false;
}

QString BenchReport::ratio(double numerator, double denominator) {
    if (numerator <= 0 || denominator <= 0) return QStringLiteral("-");
    return num(numerator / denominator) + QLatin1Char('x');
}

QString BenchReport::setTable(const SetResult& set) const {
    QString out;
    out += QStringLiteral("\n== %1: %2 accounts in %3, %4 s ==\n")
               .arg(set.name)
               .arg(set.accounts)
               .arg(set.year)
               .arg(num(set.seconds));
    for (const auto& [mode, t] : {std::pair{"begins", &set.begins}, std::pair{"contains", &set.contains}})
        out +=
            QStringLiteral("texts, %1: narrow \"%2\" (%3 accounts), medium \"%4\" (%5), broad \"%6\" (%7)\n")
                .arg(QLatin1String(mode), t->narrow.text)
                .arg(t->narrow.matches)
                .arg(t->medium.text)
                .arg(t->medium.matches)
                .arg(t->broad.text)
                .arg(t->broad.matches);
    out += cell(QStringLiteral("case"), 36, true) + cell(QStringLiteral("text"), 13, true) +
           cell(QStringLiteral("acc"), 6) + cell(QStringLiteral("nodes"), 7) +
           cell(QStringLiteral("reps"), 5) + cell(QStringLiteral("cpu med"), 9) +
           cell(QStringLiteral("p95"), 8) + cell(QStringLiteral("wall med"), 9) +
           cell(QStringLiteral("p95"), 8) + cell(QStringLiteral("stmts"), 7) +
           cell(QStringLiteral("prep"), 6) + cell(QStringLiteral("peakMB"), 7) +
           cell(QStringLiteral("B/node"), 7) + cell(QStringLiteral("engKB"), 6) +
           cell(QStringLiteral("plain"), 9) + cell(QStringLiteral("reps"), 5) +
           cell(QStringLiteral("/plain"), 8) + cell(QStringLiteral("floor"), 8) +
           cell(QStringLiteral("x floor"), 9) + cell(QStringLiteral("tree"), 5) + QLatin1Char('\n');
    for (const CaseResult& c : set.cases) {
        const TimedRuns& f = c.fast;
        QString line =
            cell(c.label(), 36, true) + cell(c.text.left(12), 13, true) +
            cell(c.matches >= 0 ? QString::number(c.matches) : QStringLiteral("-"), 6) +
            cell(QString::number(f.nodes), 7) + cell(reps(f), 5) + cell(num(f.time.cpuMedian), 9) +
            cell(num(f.time.cpuP95), 8) + cell(num(f.time.wallMedian), 9) + cell(num(f.time.wallP95), 8) +
            cell(QString::number(f.counters.statements), 7) + cell(QString::number(f.counters.prepares), 6) +
            cell(num(static_cast<double>(f.peakResident) / (1024.0 * 1024.0)), 7) +
            cell(c.group == QLatin1String("filter") && f.nodes >= kNodesForHeapPerNode
                     ? QString::number(qRound64(f.heapPerNode))
                     : QStringLiteral("-"),
                 7) +
            cell(c.group == QLatin1String("filter") ? QString::number(qRound64(f.engineAboveEmpty / 1024.0))
                                                    : QStringLiteral("-"),
                 6);
        if (c.plain && c.plain->time.count == 0 && c.plain->stopped)
            line += cell(QStringLiteral(">") + num(c.plain->stoppedAfterMs), 9) + cell(reps(*c.plain), 5) +
                    cell(QStringLiteral(">") + ratio(c.plain->stoppedAfterMs, f.time.cpuMedian), 8);
        else if (c.plain)
            line += cell(num(c.plain->time.cpuMedian), 9) + cell(reps(*c.plain), 5) +
                    cell(ratio(c.plain->time.cpuMedian, f.time.cpuMedian), 8);
        else
            line +=
                cell(QStringLiteral("-"), 9) + cell(QStringLiteral("-"), 5) + cell(QStringLiteral("-"), 8);
        if (c.floor)
            line += cell(num(c.floor->cpuMedian), 8) + cell(ratio(f.time.cpuMedian, c.floor->cpuMedian), 9);
        else
            line += cell(QStringLiteral("-"), 8) + cell(QStringLiteral("-"), 9);
        QString tree = treeMark(f.check);
        if (c.plain && treeMark(c.plain->check) == QLatin1String("DIFF")) tree = QStringLiteral("DIFF");
        line += cell(tree, 5);
        out += line + QLatin1Char('\n');
    }
    if (set.growth) {
        const GrowthResult& g = *set.growth;
        out += QStringLiteral(
                   "memory: empty dialog %1 MB heap in use (%10 MB of it the year's accounts kept between "
                   "hierarchy builds); over %2 changes (%3, %4 s): heap %5 -> %6 MB "
                   "(%7 B per change), resident %8 -> %9 MB\n")
                   .arg(num(static_cast<double>(set.emptyDialogHeap) / 1048576.0))
                   .arg(g.changes)
                   .arg(g.what, num(g.seconds), num(static_cast<double>(g.heapBefore) / 1048576.0),
                        num(static_cast<double>(g.heapAfter) / 1048576.0),
                        num(static_cast<double>(g.heapAfter - g.heapBefore) / std::max(1, g.changes)),
                        num(static_cast<double>(g.residentBefore) / 1048576.0),
                        num(static_cast<double>(g.residentAfter) / 1048576.0))
                   .arg(num(static_cast<double>(set.keptBytes) / 1048576.0));
    }
    for (const QString& p : set.problems)
        out += QStringLiteral("PROBLEM: ") + p + QLatin1Char('\n');
    return out;
}

QString BenchReport::table() const {
    QString out = QStringLiteral("sarvo-bench end to end (%1): %2\n")
                      .arg(m_options.quick ? QStringLiteral("quick") : QStringLiteral("full"),
                           MachineNote::summary(m_machine));
    out +=
        QStringLiteral("Times in ms from the change to the tree complete and laid out: CPU (whole process) "
                       "and wall, median and 95th percentile over reps (c: no more reps after the time cap, "
                       "%1 s; plain %2 s; s: a plain change stopped after %3 s, shown as >wall ms).\n"
                       "stmts/prep: statements and engine compiles per change; acc: accounts the filter "
                       "selects; peakMB: the process's resident peak during the change; B/node: heap in use "
                       "above the empty dialog per tree node (trees of 500 "
                       "nodes or more); engKB: of that heap, KB the embedded engine holds (page cache, "
                       "compiled statements; bounded by its cache size).\nplain: CPU median on the plain "
                       "rendering (%4), /plain = plain / "
                       "this; floor: the same filter and tree computed in memory, x floor = this / floor; "
                       "tree: the tree's accounts against the floor's.\n")
            .arg(num(m_options.capSeconds), num(m_options.plainCapSeconds), num(m_options.plainStopSeconds),
                 EngineSwitches::plainDescription());
    for (const SetResult& s : m_sets)
        out += setTable(s);
    out += QStringLiteral("\ntotal %1 s%2\n")
               .arg(num(m_seconds), failed() ? QStringLiteral(", FAILED") : QString());
    return out;
}

QJsonObject BenchReport::json() const {
    QJsonArray sets;
    for (const SetResult& s : m_sets) {
        QJsonArray cases;
        for (const CaseResult& c : s.cases) {
            QJsonObject o{
                {QStringLiteral("case"), c.label()},       {QStringLiteral("group"), c.group},
                {QStringLiteral("layout"), c.layout},      {QStringLiteral("mode"), c.mode},
                {QStringLiteral("strength"), c.strength},  {QStringLiteral("text"), c.text},
                {QStringLiteral("matches"), c.matches},    {QStringLiteral("floorNodes"), c.floorNodes},
                {QStringLiteral("fast"), runsJson(c.fast)}};
            if (c.plain) o.insert(QStringLiteral("plain"), runsJson(*c.plain));
            if (c.floor) o.insert(QStringLiteral("floor"), summaryJson(*c.floor));
            cases.append(o);
        }
        QJsonObject set{
            {QStringLiteral("name"), s.name},
            {QStringLiteral("accounts"), s.accounts},
            {QStringLiteral("year"), s.year},
            {QStringLiteral("seconds"), s.seconds},
            {QStringLiteral("texts"), QJsonObject{{QStringLiteral("begins"), textsJson(s.begins)},
                                                  {QStringLiteral("contains"), textsJson(s.contains)}}},
            {QStringLiteral("emptyDialogHeapBytes"), static_cast<qint64>(s.emptyDialogHeap)},
            {QStringLiteral("keptYearBytes"), static_cast<qint64>(s.keptBytes)},
            {QStringLiteral("cases"), cases},
            {QStringLiteral("problems"), QJsonArray::fromStringList(s.problems)}};
        if (s.growth) {
            const GrowthResult& g = *s.growth;
            set.insert(
                QStringLiteral("growth"),
                QJsonObject{{QStringLiteral("what"), g.what},
                            {QStringLiteral("changes"), g.changes},
                            {QStringLiteral("heapBeforeBytes"), static_cast<qint64>(g.heapBefore)},
                            {QStringLiteral("heapAfterBytes"), static_cast<qint64>(g.heapAfter)},
                            {QStringLiteral("residentBeforeBytes"), static_cast<qint64>(g.residentBefore)},
                            {QStringLiteral("residentAfterBytes"), static_cast<qint64>(g.residentAfter)},
                            {QStringLiteral("heapBytesPerChange"),
                             static_cast<double>(g.heapAfter - g.heapBefore) / std::max(1, g.changes)},
                            {QStringLiteral("seconds"), g.seconds}});
        }
        sets.append(set);
    }
    const BenchOptions& o = m_options;
    return {{QStringLiteral("benchmark"), QStringLiteral("sarvo-bench end to end")},
            {QStringLiteral("mode"), o.quick ? QStringLiteral("quick") : QStringLiteral("full")},
            {QStringLiteral("finished"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
            {QStringLiteral("seconds"), m_seconds},
            {QStringLiteral("failed"), failed()},
            {QStringLiteral("machine"), m_machine},
            {QStringLiteral("plainRendering"), EngineSwitches::plainDescription()},
            {QStringLiteral("options"), QJsonObject{{QStringLiteral("reps"), o.reps},
                                                    {QStringLiteral("minReps"), o.minReps},
                                                    {QStringLiteral("capSeconds"), o.capSeconds},
                                                    {QStringLiteral("plain"), o.plain},
                                                    {QStringLiteral("plainReps"), o.plainReps},
                                                    {QStringLiteral("plainCapSeconds"), o.plainCapSeconds},
                                                    {QStringLiteral("plainStopSeconds"), o.plainStopSeconds},
                                                    {QStringLiteral("floorSeconds"), o.floorSeconds},
                                                    {QStringLiteral("changes"), o.changes},
                                                    {QStringLiteral("openReps"), o.openReps},
                                                    {QStringLiteral("year"), o.year}}},
            {QStringLiteral("sets"), sets}};
}

bool BenchReport::writeJson(const QString& path, QString* error) const {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error) *error = f.errorString();
        return false;
    }
    f.write(QJsonDocument(json()).toJson(QJsonDocument::Indented));
    if (!f.flush()) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace sarvo::bench
