// Compares the account nodes of the dialog's tree with the expected ones (the floor's): same
// keys, same parents, same texts. Says where they first differ.
#pragma once

#include "bench/FilterFloor.h"

#include <QString>
#include <vector>

namespace sarvo::bench {

class TreeCheck {
public:
    static constexpr const char* kSame = "same";

    // Both in any order. kSame, or a one-line description of the difference.
    static QString compare(std::vector<TreeLine> tree, std::vector<TreeLine> expected);
    static QString describe(const TreeLine& line);
};

} // namespace sarvo::bench
