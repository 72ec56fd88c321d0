// Text rules the dialog's parts share: how a value is written into a statement the component
// builds, and the host language's Trim.
#pragma once

#include <QString>

namespace sarvo {

// A value as it goes between the apostrophes of a '...' or N'...' literal: each apostrophe
// doubled, so an operator id, a code or a typed text can never end the literal early.
QString literalText(const QString& value);

// A name as it goes between [ and ]: each closing bracket doubled.
QString bracketedName(const QString& name);

// Leading and trailing blanks (U+0020) removed; tabs, no-break and ideographic spaces are kept,
// as the host language's Trim keeps them.
QString trimBlanks(const QString& text);

} // namespace sarvo
