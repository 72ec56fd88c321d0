// Reads a chart of accounts written as text (the files under data/templates/). Format:
//
//   # comment                       blank lines and lines starting with '#' are skipped
//   @years 2023 2024                the years the chart is loaded into; before the first account
//   [资产]                          the class (as stored in code.cclass) of the accounts below
//   code | name | English name | mnemonic | flags | options
//
// flags: letters P person, C customer, S supplier, D department, I project, R journal,
// B bank, X closed; empty or "-" for none. options, separated by blanks: item=<project class>,
// cur=<currency>, unit=<unit of quantity>, from=<first year the account exists>.
// Grades, parents and end-level flags follow from the codes.
#pragma once

#include "data/Chart.h"

namespace sarvo::data {

class ChartFile {
public:
    // Raises InvalidProcedureCall with origin and the line number for anything malformed or
    // inconsistent (see Chart::add).
    static Chart parse(const QString& text, const QString& origin, const std::vector<int>& gradeLengths,
                       const QStringList& classNames);
};

} // namespace sarvo::data
