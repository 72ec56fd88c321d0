// The floor's filter and tree shapes.
#include "bench/FilterFloor.h"

#include "host/db/LikePattern.h"
#include "runtime/RuntimeError.h"

namespace sarvo::bench {

namespace {

bool matchesColumn(const db::LikePattern& pattern, const QByteArray& value) {
    // LIKE on a null is not true.
    return !value.isNull() && pattern.matches(value.constData(), value.size());
}

QString classKey(int classIndex) {
    return QStringLiteral("a") + QString::number(classIndex + 1);
}

} // namespace

FilterFloor::FilterFloor(const AccountRows& rows, bool englishNames)
    : m_rows(rows), m_englishNames(englishNames) {
    for (const AccountRow& row : rows.rows()) {
        for (const char c : row.code) {
            const bool plain =
                !(c == '%' || c == '_' || c == '[' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
            if (!plain)
                raise(ErrorCode::InvalidProcedureCall,
                      QStringLiteral("the floor takes codes without letters and wildcards, not %1")
                          .arg(QString::fromUtf8(row.code)));
        }
    }
}

std::vector<int> FilterFloor::matching(const FilterQuery& query) const {
    std::vector<int> out;
    const auto& rows = m_rows.rows();
    if (query.kind == FilterQuery::Kind::NotClosed) {
        for (int i = 0; i < m_rows.size(); ++i)
            if (!rows[static_cast<size_t>(i)].closed) out.push_back(i);
        return out;
    }
    // The quick filter's pattern: the text as typed for code and names, upper-cased for the
    // mnemonic; closed accounts are hidden.
    const QString before = query.contains ? QStringLiteral("%") : QString();
    const db::LikePattern typed(before + query.text + QLatin1Char('%'));
    const db::LikePattern upper(before + query.text.toUpper() + QLatin1Char('%'));
    for (int i = 0; i < m_rows.size(); ++i) {
        const AccountRow& r = rows[static_cast<size_t>(i)];
        if (r.closed) continue;
        if (typed.matches(r.code.constData(), r.code.size()) || matchesColumn(typed, r.name) ||
            matchesColumn(typed, r.english) || matchesColumn(upper, r.mnemonic))
            out.push_back(i);
    }
    return out;
}

QString FilterFloor::nodeText(const AccountRow& row) const {
    const auto& name = m_englishNames ? row.english : row.name;
    return QString::fromUtf8(row.code) + QLatin1Char(' ') + QString::fromUtf8(name);
}

std::vector<TreeLine> FilterFloor::tree(const FilterQuery& query, bool hierarchical) const {
    const std::vector<int> matches = matching(query);
    return hierarchical ? hierarchy(matches) : flat(matches);
}

std::vector<TreeLine> FilterFloor::flat(const std::vector<int>& matches) const {
    std::vector<TreeLine> lines;
    lines.reserve(matches.size());
    for (const int i : matches) {
        const AccountRow& r = m_rows.rows()[static_cast<size_t>(i)];
        // An account of a class the host does not list is left out.
        if (r.classIndex < 0) continue;
        lines.push_back(
            {QStringLiteral("b") + QString::fromUtf8(r.code), classKey(r.classIndex), nodeText(r)});
    }
    return lines;
}

std::vector<TreeLine> FilterFloor::hierarchy(const std::vector<int>& matches) const {
    const auto& rows = m_rows.rows();
    // Every account whose code begins a selected account's code leads to it.
    std::vector<char> leads(rows.size(), 0);
    for (const int m : matches) {
        for (int i = m; i >= 0 && !leads[static_cast<size_t>(i)]; i = rows[static_cast<size_t>(i)].ancestor)
            leads[static_cast<size_t>(i)] = 1;
    }
    // A first-grade account hangs under its class; a deeper one under its account of the grade
    // above, which has to be in the tree itself. Code order puts parents first, and a depth-first
    // walk of children in code order adds the nodes in code order as well.
    std::vector<char> shown(rows.size(), 0);
    std::vector<TreeLine> lines;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!leads[i]) continue;
        const AccountRow& r = rows[i];
        QString parent;
        if (r.grade == 1) {
            if (r.classIndex < 0) continue;
            parent = classKey(r.classIndex);
        } else {
            if (r.parent < 0 || !shown[static_cast<size_t>(r.parent)]) continue;
            parent = QStringLiteral("b") + QString::fromUtf8(rows[static_cast<size_t>(r.parent)].code);
        }
        shown[i] = 1;
        lines.push_back({QStringLiteral("b") + QString::fromUtf8(r.code), parent, nodeText(r)});
    }
    return lines;
}

} // namespace sarvo::bench
