// Match ranges of the quick filter's LIKE text inside a node's code and name.
#include "filter/MatchHighlight.h"

#include "host/db/LikePattern.h"

namespace sarvo::filter {

namespace {

// The shortest piece of `field` starting at `from` that the pattern matches as a whole; 0 if none.
qsizetype shortestMatchAt(const db::LikePattern& pattern, const QString& field, qsizetype from) {
    for (qsizetype end = from + 1; end <= field.size(); ++end)
        if (pattern.matches(field.mid(from, end - from))) return end - from;
    return 0;
}

void addRanges(QList<QPoint>& out, const QString& field, qsizetype offset, const db::LikePattern& pattern,
               bool anywhere) {
    if (!anywhere) {
        if (const qsizetype length = shortestMatchAt(pattern, field, 0))
            out << QPoint(static_cast<int>(offset), static_cast<int>(length));
        return;
    }
    for (qsizetype from = 0; from < field.size();) {
        if (const qsizetype length = shortestMatchAt(pattern, field, from)) {
            out << QPoint(static_cast<int>(offset + from), static_cast<int>(length));
            from += length;
        } else {
            ++from;
        }
    }
}

} // namespace

QList<QPoint> MatchHighlight::ranges(const QString& nodeText, const QString& typed, int mode) {
    // The condition wraps the text in % (contains) or ends it with one (begins with); a text that
    // itself starts with % matches anywhere in either mode. The outer %s mark nothing.
    bool anywhere = mode == 1 || typed.startsWith(QLatin1Char('%'));
    QString core = typed;
    while (core.startsWith(QLatin1Char('%')))
        core.remove(0, 1);
    while (core.endsWith(QLatin1Char('%')))
        core.chop(1);
    if (core.isEmpty()) return {};
    const db::LikePattern pattern(core);

    QList<QPoint> out;
    const qsizetype blank = nodeText.indexOf(QLatin1Char(' '));
    if (blank < 0) {
        addRanges(out, nodeText, 0, pattern, anywhere);
        return out;
    }
    addRanges(out, nodeText.left(blank), 0, pattern, anywhere);
    addRanges(out, nodeText.mid(blank + 1), blank + 1, pattern, anywhere);
    return out;
}

} // namespace sarvo::filter
