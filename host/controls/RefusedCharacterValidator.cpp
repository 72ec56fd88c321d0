// Strips refused characters from line edit input.
#include "host/controls/RefusedCharacterValidator.h"

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
    QString kept;
    kept.reserve(input.size());
    int removedBeforeCursor = 0;
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (m_refused.contains(input[i])) {
            if (i < pos) ++removedBeforeCursor;
            continue;
        }
        kept += input[i];
    }
    if (kept.size() != input.size()) {
        input = kept;
        pos -= removedBeforeCursor;
    }
    return Acceptable;
}

} // namespace sarvo::controls
