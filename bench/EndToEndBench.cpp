// One account set end to end: the opens first (each its own request), then one request in which
// every filter case, the clicks and the growth run on the same open dialog, as a user at work.
#include "bench/EndToEndBench.h"

#include "bench/AccountRows.h"
#include "bench/CaseRunner.h"
#include "bench/EngineSwitches.h"
#include "bench/FilterFloor.h"
#include "bench/HostDriver.h"
#include "bench/MemoryProbe.h"
#include "bench/TreeCheck.h"
#include "data/AccountSetTemplate.h"
#include "data/ServerAccountSet.h"
#include "runtime/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace sarvo::bench {

namespace {

constexpr int kGrowthWarmUp = 200;

QString ms(double v) {
    return QString::number(v, 'f', v < 10 ? 2 : 1);
}

QString summaryText(const Summary& s) {
    return QStringLiteral("cpu %1/%2 ms, wall %3/%4 ms (median/p95, %5 reps)")
        .arg(ms(s.cpuMedian), ms(s.cpuP95), ms(s.wallMedian), ms(s.wallP95))
        .arg(s.count);
}

// The first-grade account with the most accounts directly below it: the widest level a click opens.
int widestFirstGrade(const AccountRows& rows) {
    std::vector<int> children(static_cast<size_t>(rows.size()), 0);
    for (const AccountRow& r : rows.rows())
        if (r.parent >= 0) ++children[static_cast<size_t>(r.parent)];
    int best = -1;
    for (int i = 0; i < rows.size(); ++i) {
        const AccountRow& r = rows.rows()[static_cast<size_t>(i)];
        if (r.grade == 1 && r.classIndex >= 0 && !r.closed &&
            (best < 0 || children[static_cast<size_t>(i)] > children[static_cast<size_t>(best)]))
            best = i;
    }
    return best;
}

} // namespace

EndToEndBench::EndToEndBench(BenchOptions options) : m_options(std::move(options)) {}

void EndToEndBench::say(const QString& line) const {
    if (m_progress) m_progress(line);
}

bool EndToEndBench::wanted(const QString& label) const {
    return m_options.cases.isEmpty() || QRegularExpression(m_options.cases).match(label).hasMatch();
}

QString EndToEndBench::accountSetPath(const QString& templateName) {
    QString dir = m_options.dataDir;
    if (dir.isEmpty()) {
        if (!m_temporary.isValid())
            raise(ErrorCode::InvalidProcedureCall, QStringLiteral("no temporary folder"));
        dir = m_temporary.path();
    }
    QDir().mkpath(dir);
    QString file = templateName;
    file.replace(QLatin1Char(':'), QLatin1Char('-'));
    const QString path = QDir(dir).filePath(file + QStringLiteral(".db"));
    if (!QFileInfo::exists(path)) {
        say(QStringLiteral("creating %1").arg(path));
        data::createAccountSet(path, templateName);
    }
    return path;
}

void EndToEndBench::finishCase(CaseResult& c, SetResult& result) {
    for (const TimedRuns* runs : {&c.fast, c.plain ? &*c.plain : nullptr}) {
        if (runs && !runs->check.isEmpty() && runs->check != QLatin1String(TreeCheck::kSame))
            result.problems << QStringLiteral("%1 \"%2\"%3: %4")
                                   .arg(c.label(), c.text,
                                        runs == &c.fast ? QString() : QStringLiteral(" (plain)"),
                                        runs->check);
    }
    QString line = QStringLiteral("  %1 \"%2\": %3, %4 statements, %5 nodes")
                       .arg(c.label(), c.text, summaryText(c.fast.time))
                       .arg(c.fast.counters.statements)
                       .arg(c.fast.nodes);
    if (c.plain && c.plain->stopped && c.plain->time.count == 0)
        line += QStringLiteral("; plain stopped after %1 ms (%2 statements)")
                    .arg(ms(c.plain->stoppedAfterMs))
                    .arg(c.plain->stoppedStatements);
    else if (c.plain)
        line += QStringLiteral("; plain cpu %1 ms").arg(ms(c.plain->time.cpuMedian));
    if (c.floor) line += QStringLiteral("; floor %1 ms").arg(ms(c.floor->cpuMedian));
    if (!c.fast.check.isEmpty()) line += QStringLiteral("; tree ") + c.fast.check;
    say(line);
    result.cases.push_back(c);
}

SetResult EndToEndBench::runSet(const QString& templateName, const QString& server) {
    const Stopwatch total;
    SetResult result;
    result.name = server.isEmpty() ? templateName : templateName + QStringLiteral(" on postgresql");
    result.year = m_options.year;
    const QString path = accountSetPath(templateName);
    const AccountRows rows = AccountRows::load(path, m_options.year);
    if (rows.size() == 0)
        raise(ErrorCode::InvalidProcedureCall,
              QStringLiteral("%1 has no accounts in %2").arg(templateName).arg(m_options.year));
    result.accounts = rows.size();
    const FilterFloor floor(rows);
    const StringChooser chooser(rows, floor);
    result.begins = chooser.choose(false);
    result.contains = chooser.choose(true);
    for (const auto& [mode, t] :
         {std::pair{"begins", &result.begins}, std::pair{"contains", &result.contains}})
        say(QStringLiteral("%1, %2: narrow \"%3\" (%4 accounts), medium \"%5\" (%6), broad \"%7\" (%8)")
                .arg(templateName, QLatin1String(mode), t->narrow.text)
                .arg(t->narrow.matches)
                .arg(t->medium.text)
                .arg(t->medium.matches)
                .arg(t->broad.text)
                .arg(t->broad.matches));

    // The same accounts on the server: the floor is computed from the file's rows.
    QString target = path;
    if (!server.isEmpty()) {
        say(QStringLiteral("account set %1 on the server").arg(templateName));
        target = data::ServerAccountSet::ensure(server, templateName);
    }
    HostDriver host(target, m_options.year);
    runOpens(host, rows, result);
    host.request(QString(), [&](DialogSession& session) { runSession(session, host, rows, floor, result); });
    for (const QString& message : host.takeMessages())
        result.problems << QStringLiteral("the dialog showed a message: %1").arg(message);
    result.seconds = total.elapsed().wallMs / 1000;
    return result;
}

void EndToEndBench::runOpens(HostDriver& host, const AccountRows& rows, SetResult& result) {
    const FilterFloor floor(rows);
    struct Open {
        const char* strength;
        QString text;
        bool hierarchy;
    };
    const QString text = result.begins.narrow.text;
    for (const Open& open :
         {Open{"empty", QString(), true}, Open{"Viewpara1", text, true}, Open{"Viewpara1", text, false}}) {
        CaseResult c;
        c.group = QStringLiteral("open");
        c.layout = open.text.isEmpty()
                       ? QString()
                       : (open.hierarchy ? QStringLiteral("hierarchy") : QStringLiteral("flat"));
        c.mode = open.text.isEmpty() ? QString() : QStringLiteral("begins");
        c.strength = QLatin1String(open.strength);
        c.text = open.text;
        if (!wanted(c.label())) continue;

        // The layout and match mode the dialog opens with are the ones saved when it last closed.
        host.request(QString(), [&](DialogSession& s) {
            s.setHierarchy(open.hierarchy);
            s.setContains(false);
        });
        const std::vector<TreeLine> expected =
            open.text.isEmpty() ? std::vector<TreeLine>{}
                                : floor.tree(FilterQuery::quick(open.text, false), open.hierarchy);

        c.matches = open.text.isEmpty() ? 0 : result.begins.narrow.matches;
        c.floorNodes = static_cast<int>(expected.size());

        auto timeOpens = [&](bool plain) {
            TimedRuns runs;
            const int maxReps = plain ? m_options.plainReps : m_options.openReps;
            const double capMs = 1000 * (plain ? m_options.plainCapSeconds : m_options.capSeconds);
            runs.capSeconds = capMs / 1000;
            Samples samples;
            EngineSwitches::setPlain(host.connection(), plain);
            const Stopwatch clock;
            for (int rep = 0; rep < maxReps; ++rep) {
                if (rep >= (plain ? 1 : m_options.minReps) && clock.elapsed().wallMs >= capMs) {
                    runs.capped = true;
                    break;
                }
                const OpenResult r = host.request(open.text, [&](DialogSession& s) {
                    if (rep == 0) runs.check = TreeCheck::compare(s.accountLines(), expected);
                });
                samples.add(r.open);
                runs.counters = r.counters;
                runs.nodes = r.nodes;
                runs.peakResident = std::max(runs.peakResident, r.peakResident);
            }
            EngineSwitches::setPlain(host.connection(), false);
            runs.time = runs.handler = samples.summary();
            return runs;
        };
        c.fast = timeOpens(false);
        if (m_options.plain) c.plain = timeOpens(true);
        finishCase(c, result);
    }
}

void EndToEndBench::runSession(DialogSession& session, HostDriver& host, const AccountRows& rows,
                               const FilterFloor& floor, SetResult& result) {
    CaseRunner runner(session, host.connection(), m_options);
    // Before each case the heap is read with the dialog empty again (its unfiltered top level), so
    // what the engine and the toolkit keep from earlier cases is not counted as the tree's.
    const auto emptyDialog = [&] {
        if (session.text().isEmpty()) {
            session.setText(result.begins.narrow.text);
            session.settle();
        }
        session.setText(QString());
        session.settle();
        runner.setEmptyHeap(MemoryProbe::heapInUse(), MemoryProbe::engineInUse());
    };
    // One hierarchy build first: the year's accounts the engine layer keeps for later builds
    // belong to the dialog (reported on their own), not to the tree of whichever case happens to
    // read them first. A medium text: a broad tree would leave the view's row list at its size,
    // which the cases after it would then not pay for.
    if (!result.contains.medium.text.isEmpty()) {
        session.setHierarchy(true);
        session.setContains(true);
        session.setText(result.contains.medium.text);
        session.settle();
        session.setContains(false);
        session.setHierarchy(false);
    }
    emptyDialog();
    result.emptyDialogHeap = MemoryProbe::heapInUse();
    result.keptBytes = EngineSwitches::keptBytes(host.connection());

    for (const bool hierarchy : {false, true}) {
        session.setHierarchy(hierarchy);
        const QString layout = hierarchy ? QStringLiteral("hierarchy") : QStringLiteral("flat");
        for (const bool contains : {false, true}) {
            session.setContains(contains);
            const ChosenTexts& texts = contains ? result.contains : result.begins;
            for (const auto& [strength, chosen] :
                 {std::pair{"narrow", &texts.narrow}, std::pair{"medium", &texts.medium},
                  std::pair{"broad", &texts.broad}}) {
                if (chosen->text.isEmpty() ||
                    !wanted(QStringList{QStringLiteral("filter"), layout,
                                        contains ? QStringLiteral("contains") : QStringLiteral("begins"),
                                        QLatin1String(strength)}
                                .join(QLatin1Char(' '))))
                    continue;
                const FilterQuery query = FilterQuery::quick(chosen->text, contains);
                const std::vector<TreeLine> expected = floor.tree(query, hierarchy);
                const QString before = chosen->text.chopped(1);
                const QChar last = chosen->text.back();
                CaseSteps steps;
                steps.prepare = [&] { session.setText(before); };
                steps.act = [&] { session.type(last); };
                steps.check = [&] { return TreeCheck::compare(session.accountLines(), expected); };

                CaseResult c;
                c.group = QStringLiteral("filter");
                c.layout = layout;
                c.mode = contains ? QStringLiteral("contains") : QStringLiteral("begins");
                c.strength = QLatin1String(strength);
                c.text = chosen->text;
                c.matches = chosen->matches;
                c.floorNodes = static_cast<int>(expected.size());
                emptyDialog();
                c.fast = runner.run(steps, false);
                if (m_options.plain) c.plain = runner.run(steps, true);
                c.floor = CaseRunner::timeRepeated([&] { (void)floor.tree(query, hierarchy); },
                                                   m_options.floorSeconds);
                finishCase(c, result);
            }
        }
        // The attribute filter: not-closed only, the filter box empty (the match mode plays no part).
        if (!wanted(QStringLiteral("filter ") + layout + QStringLiteral(" attribute"))) continue;
        session.setContains(false);
        // The expected tree is made before the empty dialog's heap is read, as for the typed
        // cases: it is the benchmark's, not the dialog's.
        const FilterQuery query = FilterQuery::notClosed();
        const std::vector<TreeLine> expected = floor.tree(query, hierarchy);
        emptyDialog();
        session.selectNotClosedOnly();
        CaseSteps steps;
        steps.act = [&] { session.pressAttributeFilter(); };
        steps.check = [&] { return TreeCheck::compare(session.accountLines(), expected); };
        CaseResult c;
        c.group = QStringLiteral("filter");
        c.layout = layout;
        c.strength = QStringLiteral("attribute");
        c.text = QStringLiteral("not closed");
        c.matches = static_cast<int>(floor.matching(query).size());
        c.floorNodes = static_cast<int>(expected.size());
        c.fast = runner.run(steps, false);
        if (m_options.plain) c.plain = runner.run(steps, true);
        c.floor =
            CaseRunner::timeRepeated([&] { (void)floor.tree(query, hierarchy); }, m_options.floorSeconds);
        finishCase(c, result);
    }
    runClicks(session, host, rows, result, runner);
    runGrowth(session, result);
}

void EndToEndBench::runClicks(DialogSession& session, HostDriver& host, const AccountRows& rows,
                              SetResult& result, CaseRunner& runner) {
    Q_UNUSED(host);
    const int account = widestFirstGrade(rows);
    if (account < 0) return;
    const AccountRow& chosen = rows.rows()[static_cast<size_t>(account)];
    const QString classKey = QStringLiteral("a") + QString::number(chosen.classIndex + 1);
    const QString accountKey = QStringLiteral("b") + QString::fromUtf8(chosen.code);
    const FilterFloor floor(rows);

    // What the two clicks load: the class's first grade, the account's second; closed ones hidden.
    std::vector<TreeLine> firstGrade;
    std::vector<TreeLine> secondGrade;
    for (const AccountRow& r : rows.rows()) {
        if (r.closed) continue;
        if (r.grade == 1 && r.classIndex == chosen.classIndex)
            firstGrade.push_back(
                {QStringLiteral("b") + QString::fromUtf8(r.code), classKey, floor.nodeText(r)});
        if (r.grade == 2 && r.code.startsWith(chosen.code))
            secondGrade.push_back(
                {QStringLiteral("c") + QString::fromUtf8(r.code), accountKey, floor.nodeText(r)});
    }

    session.setHierarchy(false);
    session.setContains(false);
    // A fresh unfiltered top level: a text, then none.
    const auto topLevel = [&] {
        session.setText(result.begins.narrow.text);
        session.settle();
        session.setText(QString());
    };
    for (const bool onAccount : {false, true}) {
        if (!wanted(onAccount ? QStringLiteral("click account") : QStringLiteral("click class"))) continue;
        CaseSteps steps;
        if (onAccount) {
            steps.prepare = [&] {
                topLevel();
                session.settle();
                session.clickNode(classKey);
                session.settle();
                session.expandNode(classKey);
            };
            steps.act = [&] { session.clickNode(accountKey); };
            steps.check = [&] { return TreeCheck::compare(session.childLines(accountKey), secondGrade); };
        } else {
            steps.prepare = topLevel;
            steps.act = [&] { session.clickNode(classKey); };
            steps.check = [&] { return TreeCheck::compare(session.childLines(classKey), firstGrade); };
        }
        CaseResult c;
        c.group = QStringLiteral("click");
        c.strength = onAccount ? QStringLiteral("account") : QStringLiteral("class");
        c.text = onAccount ? accountKey : classKey;
        c.matches = static_cast<int>((onAccount ? secondGrade : firstGrade).size());
        c.floorNodes = c.matches;
        c.fast = runner.run(steps, false);
        if (m_options.plain) c.plain = runner.run(steps, true);
        finishCase(c, result);
    }
}

void EndToEndBench::runGrowth(DialogSession& session, SetResult& result) {
    if (m_options.changes <= 0 || !wanted(QStringLiteral("growth"))) return;
    const QString text = result.begins.narrow.text;
    const QChar last = text.back();
    session.setHierarchy(false);
    session.setContains(false);
    session.setText(text);
    session.settle();
    // Alternately the last character removed and typed again: every change is a key press and a
    // rebuild, as at the keyboard.
    const auto change = [&] {
        if (session.text() == text)
            session.backspace();
        else
            session.type(last);
        session.settle();
    };
    // Past the filter box's undo history (at most 100 texts) filling up, so the changes measured
    // show what grows without bound.
    for (int i = 0; i < kGrowthWarmUp; ++i)
        change();
    GrowthResult g;
    g.what = QStringLiteral("flat, begins, \"%1\" and \"%2\" alternately, by key presses")
                 .arg(text, text.chopped(1));
    g.changes = m_options.changes;
    g.heapBefore = MemoryProbe::heapInUse();
    g.residentBefore = MemoryProbe::currentResident();
    const Stopwatch clock;
    for (int i = 0; i < m_options.changes; ++i)
        change();
    g.seconds = clock.elapsed().wallMs / 1000;
    g.heapAfter = MemoryProbe::heapInUse();
    g.residentAfter = MemoryProbe::currentResident();
    say(QStringLiteral("  growth over %1 changes: heap %2 B per change, resident %3 B per change")
            .arg(g.changes)
            .arg(static_cast<double>(g.heapAfter - g.heapBefore) / g.changes, 0, 'f', 1)
            .arg(static_cast<double>(g.residentAfter - g.residentBefore) / g.changes, 0, 'f', 1));
    result.growth = g;
}

} // namespace sarvo::bench
