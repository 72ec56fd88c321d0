// Texts the dialog shows beyond its captions (tooltips, hints), from the host's resources in the
// login's language. A host without a text for a key gives an empty text and no message: these
// texts help the user but nothing depends on them.
#pragma once

#include <QString>

namespace sarvo::dialog {

QString uiText(const char* key);

} // namespace sarvo::dialog
