// UTF-8 from an engine decoded straight into a buffer the caller owns, exactly as
// QString::fromUtf8 decodes it. Tree builds decode two texts per node into strings they reuse;
// setting up a general decoder for a dozen bytes costs more than the decoding itself.
#pragma once

#include <QChar>
#include <QtGlobal>

namespace sarvo {

// Writes the characters of size bytes of UTF-8 at out, which has room for size characters, and
// returns the end of what it wrote. Well-formed text of the basic plane is decoded here; anything
// else (a byte order mark in front, a character beyond the basic plane, a malformed sequence)
// goes to Qt's decoder, so every input gives what QString::fromUtf8 gives.
QChar* decodeUtf8Into(QChar* out, const char* data, qsizetype size);

} // namespace sarvo
