// What one end-to-end run measured, as the report prints it and writes it to JSON.
#pragma once

#include "bench/EngineSwitches.h"
#include "bench/Samples.h"
#include "bench/StringChooser.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace sarvo::bench {

// The timed repetitions of one case on one rendering.
struct TimedRuns {
    Summary time;    // the change to the tree complete and laid out
    Summary handler; // the same up to the end of the event's handling (before layout and paint)
    bool capped = false;
    double capSeconds = 0;
    // A change stopped at the time limit: it took longer than stoppedAfterMs (wall) and ran
    // stoppedStatements statements by then; the summaries then cover the changes that finished.
    bool stopped = false;
    double stoppedAfterMs = 0;
    qint64 stoppedStatements = 0;
    EngineCounters counters; // per change (the last one; every change of a case does the same work)
    int nodes = 0;           // tree nodes after the change
    int64_t peakResident = 0;
    double heapAboveEmpty = 0;   // bytes in use above the empty dialog after the change (median)
    double heapPerNode = 0;      // the same per tree node (median)
    double engineAboveEmpty = 0; // of heapAboveEmpty, what the embedded engine holds (median)
    QString check; // "" when not checked, "same" when the tree equals the floor, else the difference
};

struct CaseResult {
    QString group;  // "filter", "open", "click"
    QString layout; // "flat", "hierarchy", or "" when it does not matter
    QString mode;   // "begins", "contains", or ""
    QString
        strength; // filter: narrow, medium, broad, attribute; open: empty, Viewpara1; click: class, account
    QString text; // the typed text, the Viewpara1, or the clicked node's key
    int matches = -1; // accounts the filter selects (floor)
    int floorNodes = -1;
    TimedRuns fast;
    std::optional<TimedRuns> plain;
    std::optional<Summary> floor;

    QString label() const {
        QStringList parts;
        for (const QString& p : {group, layout, mode, strength})
            if (!p.isEmpty()) parts << p;
        return parts.join(QLatin1Char(' '));
    }
};

struct GrowthResult {
    QString what;
    int changes = 0;
    int64_t heapBefore = 0;
    int64_t heapAfter = 0;
    int64_t residentBefore = 0;
    int64_t residentAfter = 0;
    double seconds = 0;
};

struct SetResult {
    QString name;
    int accounts = 0;
    int year = 0;
    ChosenTexts begins;
    ChosenTexts contains;
    int64_t emptyDialogHeap = 0; // heap in use with the dialog open on its unfiltered top level
    int64_t keptBytes = 0;       // of that, the year's accounts kept between hierarchy builds
    std::vector<CaseResult> cases;
    std::optional<GrowthResult> growth;
    double seconds = 0;
    QStringList problems; // trees that differed from the floor, messages the dialog showed
};

} // namespace sarvo::bench
