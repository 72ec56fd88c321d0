// Quoting of statement values and the blank-only trim.
#include "component/TextRules.h"

namespace sarvo {

QString literalText(const QString& value) {
    return QString(value).replace(QLatin1Char('\''), QStringLiteral("''"));
}

QString bracketedName(const QString& name) {
    return QString(name).replace(QLatin1Char(']'), QStringLiteral("]]"));
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace sarvo
