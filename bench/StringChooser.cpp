// Choosing narrow, medium and broad filter texts.
#include "bench/StringChooser.h"

#include <algorithm>
#include <cmath>

namespace sarvo::bench {

StringChooser::StringChooser(const AccountRows& rows, const FilterFloor& floor, int sampledAccounts)
    : m_rows(rows), m_floor(floor) {
    const int n = rows.size();
    const int step = std::max(1, n / std::max(1, sampledAccounts));
    for (int i = step / 2; i < n; i += step) {
        const QString code = QString::fromUtf8(rows.rows()[static_cast<size_t>(i)].code);
        for (qsizetype length = 1; length <= code.size(); ++length)
            if (!m_candidates.contains(code.left(length))) m_candidates << code.left(length);
    }
}

ChosenText StringChooser::nearest(const std::vector<ChosenText>& counted, double target) {
    ChosenText best;
    double bestDistance = INFINITY;
    for (const ChosenText& c : counted) {
        if (c.matches <= 0) continue;
        const double distance = std::abs(std::log(c.matches / target));
        const bool tie = std::abs(distance - bestDistance) < 1e-12;
        const bool better = distance < bestDistance - 1e-12 ||
                            (tie && (c.text.size() < best.text.size() ||
                                     (c.text.size() == best.text.size() && c.text < best.text)));
        if (better) {
            best = c;
            bestDistance = distance;
        }
    }
    return best;
}

ChosenTexts StringChooser::choose(bool contains) const {
    std::vector<ChosenText> counted;
    counted.reserve(static_cast<size_t>(m_candidates.size()));
    for (const QString& text : m_candidates)
        counted.push_back(
            {text, static_cast<int>(m_floor.matching(FilterQuery::quick(text, contains)).size())});

    ChosenTexts chosen;
    chosen.narrow = nearest(counted, kNarrowTarget);
    chosen.medium = nearest(counted, std::max(1.0, kMediumShare * m_rows.size()));
    if (contains) {
        chosen.broad = {
            QStringLiteral("1"),
            static_cast<int>(m_floor.matching(FilterQuery::quick(QStringLiteral("1"), true)).size())};
    } else {
        for (const ChosenText& c : counted)
            if (c.text.size() == 1 && c.matches > chosen.broad.matches) chosen.broad = c;
    }
    return chosen;
}

} // namespace sarvo::bench
