// Picks the quick-filter texts of a benchmark run from the account set itself, so that on any
// chart "narrow" selects a handful of accounts, "medium" about one in twenty and "broad" as many
// as one typed character can: "1" when matching anywhere, the busiest first character of a code
// when matching at the beginning. Candidates are the beginnings of codes spread evenly over the
// chart; each is counted by the floor with the dialog's own conditions.
#pragma once

#include "bench/FilterFloor.h"

#include <QString>
#include <QStringList>

namespace sarvo::bench {

struct ChosenText {
    QString text;
    int matches = 0; // accounts the quick filter selects
};

struct ChosenTexts {
    ChosenText narrow;
    ChosenText medium;
    ChosenText broad;
};

class StringChooser {
public:
    static constexpr int kNarrowTarget = 5;
    static constexpr double kMediumShare = 0.05;

    StringChooser(const AccountRows& rows, const FilterFloor& floor, int sampledAccounts = 48);

    ChosenTexts choose(bool contains) const;
    // The code beginnings tried: every length of the codes of accounts spread evenly in code order.
    QStringList candidates() const { return m_candidates; }

    // The candidate whose count is nearest to target on a log scale; the shorter, then the
    // smaller text on a tie. Empty when no candidate selects anything.
    static ChosenText nearest(const std::vector<ChosenText>& counted, double target);

private:
    const AccountRows& m_rows;
    const FilterFloor& m_floor;
    QStringList m_candidates;
};

} // namespace sarvo::bench
