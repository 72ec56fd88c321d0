// The end-to-end benchmark of the reference dialog: per account set, the filter changes of both
// layouts and both match modes (narrow, medium, broad text and the attribute filter), the dialog
// opens with and without an initial text, a class and an account click on the unfiltered tree,
// and the memory growth over many changes; each against the plain rendering and the in-memory
// floor, with every filtered tree checked against the floor.
#pragma once

#include "bench/BenchOptions.h"
#include "bench/BenchResults.h"

#include <QTemporaryDir>
#include <functional>

namespace sarvo::bench {

class AccountRows;
class FilterFloor;
class DialogSession;
class HostDriver;

class EndToEndBench {
public:
    explicit EndToEndBench(BenchOptions options);

    // Progress lines (one per case) while the run goes on.
    void setProgress(std::function<void(const QString&)> progress) { m_progress = std::move(progress); }

    // Runs one account set from its template name: in an SQLite file, or with server (a
    // postgresql:// URL) in a database on that server (named "<template> on postgresql"). Raises
    // when the set cannot be made or the dialog cannot be driven; differences from the floor go
    // into the result's problems.
    SetResult runSet(const QString& templateName, const QString& server = {});

private:
    QString accountSetPath(const QString& templateName);
    void runOpens(HostDriver& host, const AccountRows& rows, SetResult& result);
    void runSession(DialogSession& session, HostDriver& host, const AccountRows& rows,
                    const FilterFloor& floor, SetResult& result);
    void runClicks(DialogSession& session, HostDriver& host, const AccountRows& rows, SetResult& result,
                   class CaseRunner& runner);
    void runGrowth(DialogSession& session, SetResult& result);
    void finishCase(CaseResult& c, SetResult& result);
    void say(const QString& line) const;
    bool wanted(const QString& label) const; // --cases

    BenchOptions m_options;
    QTemporaryDir m_temporary;
    std::function<void(const QString&)> m_progress;
};

} // namespace sarvo::bench
