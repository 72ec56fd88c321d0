// Where the quick filter's text matches inside an account node's text, for marking it on screen.
// The text has the database's LIKE meaning, as in the filter's condition: % any run of
// characters, _ any one character, [...] a class, compared without regard to case. The node's
// code (before the first blank) and name (after it) are looked at separately, as the condition
// tests the columns separately: in the begins-with mode the start of each that matches, in the
// contains mode every place that matches, each as short as it can be.
#pragma once

#include <QList>
#include <QPoint>
#include <QString>

namespace sarvo::filter {

class MatchHighlight {
public:
    // (start, length) pairs in nodeText, in text order; empty when nothing is to be marked.
    // mode: 1 contains, anything else begins with.
    static QList<QPoint> ranges(const QString& nodeText, const QString& typed, int mode);
};

} // namespace sarvo::filter
