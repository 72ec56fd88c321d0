// The lexer as the server's: literals with doubled quotes, bracketed names, comments, numbers
// that stop where a keyword begins.
#include "host/db/TSqlTokenizer.h"

#include <gtest/gtest.h>

namespace sarvo::db::test {

namespace {

using K = TSqlToken::Kind;

// Tokens written as kind letter + text: w word, q quoted identifier, s string, n N-string,
// 9 number, @ variable, p ? placeholder, y symbol.
QStringList describe(const QString& text) {
    QStringList out;
    for (const TSqlToken& t : TSqlTokenizer::tokenize(text)) {
        const char* k = "?";
        switch (t.kind) {
        case K::Word:
            k = "w";
            break;
        case K::QuotedIdentifier:
            k = "q";
            break;
        case K::String:
            k = "s";
            break;
        case K::NationalString:
            k = "n";
            break;
        case K::Number:
            k = "9";
            break;
        case K::Variable:
            k = "@";
            break;
        case K::Parameter:
            k = "p";
            break;
        case K::Symbol:
            k = "y";
            break;
        case K::End:
            continue;
        }
        out << QString::fromLatin1(k) + t.text;
    }
    return out;
}

TEST(TSqlTokenizerTest, SplitsAsTheServerDoes) {
    const std::vector<std::pair<QString, QStringList>> cases = {
        {"code.iyear=2018order by x", {"wcode", "y.", "wiyear", "y=", "92018", "worder", "wby", "wx"}},
        {"N'Sarvo树型显示',n'x'", {"nSarvo树型显示", "y,", "nx"}},
        {"'O''Brien' + N'100%'", {"sO'Brien", "y+", "n100%"}},
        {"tempdb..[u1 x]].y].ccode", {"wtempdb", "y.", "y.", "qu1 x].y", "y.", "wccode"}},
        {"\"quoted\"\"name\"", {"qquoted\"name"}},
        {"a<>b a!=b a<=b a>=b a!<b",
         {"wa", "y<>", "wb", "wa", "y!=", "wb", "wa", "y<=", "wb", "wa", "y>=", "wb", "wa", "y!<", "wb"}},
        {"1.5e3 .5 12e x", {"91.5e3", "9.5", "912", "we", "wx"}},
        {"x -- note\n y /* block\n */ z", {"wx", "wy", "wz"}},
        {"@year #tmp ##g", {"@@year", "w#tmp", "w##g"}},
        {"a-1", {"wa", "y-", "91"}},
        {"cName = ? AND x=?+'?'", {"wcName", "y=", "p?", "wAND", "wx", "y=", "p?", "y+", "s?"}},
        {"  ", {}},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(describe(text), expected);
    }
}

TEST(TSqlTokenizerTest, PositionsCountFromTheStartOfTheText) {
    const QList<TSqlToken> t = TSqlTokenizer::tokenize(QStringLiteral("select  [a] from\nN'x'"));
    ASSERT_EQ(t.size(), 5);
    EXPECT_EQ(t[0].position, 0);
    EXPECT_EQ(t[1].position, 8);
    EXPECT_EQ(t[2].position, 12);
    EXPECT_EQ(t[3].position, 17);
    EXPECT_EQ(t[4].kind, K::End);
    EXPECT_EQ(t[4].position, 21);
}

} // namespace

} // namespace sarvo::db::test
