// Strips refused characters from what an edit inserts into a line edit.
#include "host/controls/RefusedCharacterValidator.h"

#include <algorithm>

namespace sarvo::controls {

RefusedCharacterValidator::RefusedCharacterValidator(QString refused, QObject* parent)
    : QValidator(parent), m_refused(std::move(refused)) {}

QString RefusedCharacterValidator::strip(const QString& text) const {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text)
        if (!m_refused.contains(c)) kept += c;
    return kept;
}

QValidator::State RefusedCharacterValidator::validate(QString& input, int& pos) const {
    if (m_passThrough) return Acceptable;
    const QString before = m_baseline ? m_baseline() : QString();
    // What the edit inserted: the input between the part it shares with the old text at the
    // start and the part it shares at the end. The insertion ends at the cursor, which settles
    // where it lies among repeated characters.
    const qsizetype shorter = std::min(before.size(), input.size());
    const qsizetype afterCursor = input.size() - std::clamp<qsizetype>(pos, 0, input.size());
    qsizetype tail = 0;
    while (tail < shorter && tail < afterCursor &&
           before[before.size() - 1 - tail] == input[input.size() - 1 - tail])
        ++tail;
    qsizetype head = 0;
    while (head < shorter - tail && before[head] == input[head])
        ++head;
    const qsizetype insertedEnd = input.size() - tail;

    QString removed;
    QString kept = input.left(head);
    kept.reserve(input.size());
    int removedBeforeCursor = 0;
    for (qsizetype i = head; i < insertedEnd; ++i) {
        if (m_refused.contains(input[i])) {
            removed += input[i];
            if (i < pos) ++removedBeforeCursor;
            continue;
        }
        kept += input[i];
    }
    if (removed.isEmpty()) return Acceptable;
    kept += input.mid(insertedEnd);
    input = kept;
    pos -= removedBeforeCursor;
    if (m_onRefused) m_onRefused(removed);
    return Acceptable;
}

} // namespace sarvo::controls
