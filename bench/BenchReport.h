// The end-to-end benchmark's output: a table per account set (median and 95th percentile of CPU
// and wall time, the counters beside them, the plain rendering and the floor with their ratios,
// whether the tree matched the floor), the memory growth, and the same as JSON.
#pragma once

#include "bench/BenchOptions.h"
#include "bench/BenchResults.h"

#include <QJsonObject>
#include <QString>
#include <vector>

namespace sarvo::bench {

class BenchReport {
public:
    BenchReport(BenchOptions options, QJsonObject machine);

    void add(SetResult set) { m_sets.push_back(std::move(set)); }
    void setSeconds(double seconds) { m_seconds = seconds; }
    const std::vector<SetResult>& sets() const { return m_sets; }

    // True when any set has a problem (a tree that differed from the floor, a message shown).
    bool failed() const;
    QString table() const;
    QJsonObject json() const;
    // Writes json() to path; false and *error on failure.
    bool writeJson(const QString& path, QString* error) const;

    // CPU-time ratios as the table prints them: "12.3x", "-" when either side is missing.
    static QString ratio(double numerator, double denominator);

private:
    QString setTable(const SetResult& set) const;

    BenchOptions m_options;
    QJsonObject m_machine;
    std::vector<SetResult> m_sets;
    double m_seconds = 0;
};

} // namespace sarvo::bench
