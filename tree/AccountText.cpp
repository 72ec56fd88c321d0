// Key letters of the account tree.
#include "tree/AccountText.h"

namespace sarvo::tree {

QChar gradeLetter(int grade) {
    return QChar(u'a' + grade);
}

} // namespace sarvo::tree
