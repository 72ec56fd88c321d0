// Shared pieces of the tree node scheme: node texts from a record and the grade letters of keys.
#pragma once

#include "host/db/Recordset.h"

#include <QString>

namespace sarvo::tree {

// Account code, one blank, and the name in the host's language (ccode_name when LangFlag is 1,
// else ccode_engl); a null name gives the code and the blank. LangFlag is read on every call.
QString accountNodeText(const db::Recordset& record);

// The key letter of an account of grade g loaded level by level: 1 "b" ... 13 "n".
QChar gradeLetter(int grade);

} // namespace sarvo::tree
