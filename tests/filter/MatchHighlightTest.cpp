// Where the quick filter's text is marked inside an account node's text: the database's LIKE
// meaning of the text (wildcards, classes, no regard to case), code and name apart, the start
// of each in the begins-with mode and every place in the contains mode.
#include "filter/MatchHighlight.h"

#include <gtest/gtest.h>

using sarvo::filter::MatchHighlight;

namespace {

QString marked(const QString& text, const QString& typed, int mode) {
    QStringList out;
    for (const QPoint& r : MatchHighlight::ranges(text, typed, mode))
        out << text.mid(r.x(), r.y()) + QStringLiteral("@%1").arg(r.x());
    return out.join(' ');
}

TEST(MatchHighlight, MarksWhatTheConditionMatchesInCodeAndName) {
    struct Case {
        const char* text;
        const char* typed;
        int mode; // 0 begins with, 1 contains
        const char* marked;
    };
    const Case cases[] = {
        {"1002 银行存款", "10", 0, "10@0"},
        {"1002 银行存款", "银行", 0, "银行@5"},
        {"1002 银行存款", "存款", 0, ""}, // the name does not begin with it
        {"1002 银行存款", "存款", 1, "存款@7"},
        {"100201 工商银行", "0", 1, "0@1 0@2 0@4"},
        {"1001 Cash on hand", "cASH", 0, "Cash@5"},
        {"1001 Cash on hand", "on hand", 1, "on hand@10"},
        {"1001 Cash on hand", "C_sh", 0, "Cash@5"},
        {"1001 Cash on hand", "a%h", 1, "ash@6"},     // as short as it can be
        {"1001 Cash on hand", "%hand", 0, "hand@13"}, // a leading % matches anywhere
        {"1001 Cash on hand", "Cash%", 0, "Cash@5"},  // trailing %s mark nothing more
        {"1002 银行存款", "%", 1, ""},
        {"1002 银行存款", "%%", 0, ""},
        {"1002 银行存款", "[12]0", 1, "10@0"},
        {"1002 银行存款", "[^1]0", 1, "00@1"},
        {"1002 银行存款", "2 银", 1, ""}, // the code and the name are separate columns
        {"1002 银行存款", "[1", 1, ""},   // a class never closed matches nothing
        {"10020101 人民币户", "01", 1, "01@4 01@6"},
        {"资产", "资", 1, "资@0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(marked(QString::fromUtf8(c.text), QString::fromUtf8(c.typed), c.mode),
                  QString::fromUtf8(c.marked))
            << c.text << " / " << c.typed << " / " << c.mode;
}

} // namespace
