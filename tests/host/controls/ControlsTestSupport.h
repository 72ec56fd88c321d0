// Shared helpers of the control-set tests: readable QString values in failure messages, and the
// number of the run-time error a call raises.
#pragma once

#include "runtime/RuntimeError.h"

#include <QString>
#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace sarvo::controls::testing {

// 0 when the callable raises nothing.
template <class F> int errorNumberOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

} // namespace sarvo::controls::testing
