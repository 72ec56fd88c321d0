// Times one case on the open dialog: each repetition brings the dialog to the state before the
// change (not timed), then times the change itself until the tree is complete and laid out, and
// reads the engine's counters, the tree's node count and memory beside it. The first repetition's
// tree is checked. Repetitions stop at a count or, once enough have run, at a time cap.
#pragma once

#include "bench/BenchOptions.h"
#include "bench/BenchResults.h"
#include "bench/DialogSession.h"
#include "bench/Stopwatch.h"

#include <functional>
#include <utility>

namespace sarvo::db {
class Connection;
}

namespace sarvo::bench {

struct CaseSteps {
    std::function<void()> prepare;  // not timed
    std::function<void()> act;      // the change
    std::function<QString()> check; // after the first change: TreeCheck's answer
};

class CaseRunner {
public:
    CaseRunner(DialogSession& session, db::Connection& connection, const BenchOptions& options);

    // Heap in use with the dialog empty (its unfiltered top level); per-node heap is measured above it.
    void setEmptyHeap(int64_t bytes, int64_t engineBytes) {
        m_emptyHeap = bytes;
        m_emptyEngine = engineBytes;
    }

    // plain: on the plain rendering, with its own count and cap.
    TimedRuns run(const CaseSteps& steps, bool plain);

    // Repeats compute for about `seconds` (at least three times) and summarises.
    static Summary timeRepeated(const std::function<void()>& compute, double seconds, int maxReps = 2000);

private:
    // The change and the settling after it: exactly what is timed, kept out of line so that
    // instruction counts (valgrind --toggle-collect) can take the same span.
    [[gnu::noinline]] std::pair<Elapsed, Elapsed> timedChange(const CaseSteps& steps);

    DialogSession& m_session;
    db::Connection& m_connection;
    const BenchOptions& m_options;
    int64_t m_emptyHeap = 0;
    int64_t m_emptyEngine = 0;
};

} // namespace sarvo::bench
