// Synthetic charts of accounts for benchmarks: N accounts spread over every class and down to
// the deepest grade of the scheme, every column filled, the same N always giving the same chart.
#pragma once

#include "data/Chart.h"

namespace sarvo::data {

class GeneratedChart {
public:
    static constexpr int maxAccounts = 1000000;

    // count 1..maxAccounts (else InvalidProcedureCall). The first grade takes the class digit
    // (1 for the first class, ...) followed by the rest of its length; deeper grades append
    // their digits counting from 1. Needs at most 9 classes and at least 2 digits per grade
    // after the first.
    static Chart build(int count, const std::vector<int>& gradeLengths, const QStringList& classNames,
                       std::vector<int> years);
};

} // namespace sarvo::data
