// Shared piece of the tree node scheme: the grade letters of keys.
#pragma once

#include <QChar>

namespace sarvo::tree {

// The key letter of an account of grade g loaded level by level: 1 "b" ... 13 "n".
QChar gradeLetter(int grade);

} // namespace sarvo::tree
