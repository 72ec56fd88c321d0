// Repetitions of one case.
#include "bench/CaseRunner.h"

#include "bench/EngineSwitches.h"
#include "bench/MemoryProbe.h"
#include "bench/StatementStop.h"
#include "bench/Stopwatch.h"

#include <algorithm>
#include <optional>

namespace sarvo::bench {

CaseRunner::CaseRunner(DialogSession& session, db::Connection& connection, const BenchOptions& options)
    : m_session(session), m_connection(connection), m_options(options) {}

TimedRuns CaseRunner::run(const CaseSteps& steps, bool plain) {
    const int maxReps = plain ? m_options.plainReps : m_options.reps;
    const int minReps = plain ? 1 : std::max(1, m_options.minReps);
    const double capMs = 1000 * (plain ? m_options.plainCapSeconds : m_options.capSeconds);

    TimedRuns out;
    out.capSeconds = capMs / 1000;
    Samples time;
    Samples handler;
    std::vector<double> above;
    std::vector<double> perNode;
    std::vector<double> engine;
    // The state before the change is reached on the default rendering; only the change itself
    // runs on the plain one.
    struct Restore {
        db::Connection& connection;
        ~Restore() {
            try {
                EngineSwitches::setPlain(connection, false);
            } catch (...) {
            }
        }
    } restore{m_connection};

    const Stopwatch caseClock;
    for (int rep = 0; rep < maxReps; ++rep) {
        if (rep >= minReps && caseClock.elapsed().wallMs >= capMs) {
            out.capped = true;
            break;
        }
        if (steps.prepare) steps.prepare();
        m_session.settle();

        if (plain) EngineSwitches::setPlain(m_connection, true);
        std::optional<StatementStop> stop;
        if (plain) stop.emplace(m_connection, 1000 * m_options.plainStopSeconds);
        MemoryProbe::resetPeak();
        const EngineCounters before = EngineSwitches::counters(m_connection);
        const auto [handled, done] = timedChange(steps);
        out.counters = EngineSwitches::counters(m_connection) - before;
        const bool stopped = stop && stop->fired();
        const qint64 let = stop ? stop->statements() : 0;
        stop.reset();
        if (plain) EngineSwitches::setPlain(m_connection, false);
        if (stopped) {
            // Longer than the limit: no time of its own, and no more repetitions.
            out.stopped = true;
            out.stoppedAfterMs = done.wallMs;
            out.stoppedStatements = let;
            break;
        }

        time.add(done);
        handler.add(handled);
        out.nodes = m_session.nodeCount();
        out.peakResident = std::max(out.peakResident, MemoryProbe::peakResident());
        above.push_back(static_cast<double>(MemoryProbe::heapInUse() - m_emptyHeap));
        perNode.push_back(above.back() / std::max(1, out.nodes));
        engine.push_back(static_cast<double>(MemoryProbe::engineInUse() - m_emptyEngine));
        if (rep == 0 && steps.check) out.check = steps.check();
    }
    out.time = time.summary();
    out.handler = handler.summary();
    out.heapAboveEmpty = Samples::median(above);
    out.heapPerNode = Samples::median(perNode);
    out.engineAboveEmpty = Samples::median(engine);
    return out;
}

std::pair<Elapsed, Elapsed> CaseRunner::timedChange(const CaseSteps& steps) {
    const Stopwatch clock;
    steps.act();
    const Elapsed handled = clock.elapsed();
    m_session.settle();
    return {handled, clock.elapsed()};
}

Summary CaseRunner::timeRepeated(const std::function<void()>& compute, double seconds, int maxReps) {
    Samples samples;
    const Stopwatch total;
    while (samples.count() < maxReps && (samples.count() < 3 || total.elapsed().wallMs < seconds * 1000)) {
        const Stopwatch clock;
        compute();
        samples.add(clock.elapsed());
    }
    return samples.summary();
}

} // namespace sarvo::bench
