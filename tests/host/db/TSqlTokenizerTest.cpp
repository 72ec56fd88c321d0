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

// The one-pass literal scan that recognizes a known statement shape finds exactly the literals
// the tokenizer finds, with their values, and refuses what the tokenizer refuses.
TEST(TSqlTokenizerTest, LiteralScanFindsTheTokenizersLiterals) {
    const std::vector<QString> texts = {
        "select * from code where  iYear=2024 and ( ccode like N'1001%' or chelp like N'AB%' ) order by "
        "ccode ",
        "select distinct code.ccode from tempdb..[demo2024] inner join code on tempdb..[demo2024].ccode like "
        "code.ccode+'%' where code.ccode like 'it''s%' and code.igrade=3 and code.iYear=2024",
        "select 2018order, .5e3, 1e, x1 from [t 1] -- 12 'no'\n where \"c 2\"=N'' /* 'x' 3 */ and @v1=4",
        QString::fromUtf8("select n'中文', N'', '''' from code where a!=1 and b !< 2"),
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        QStringList fromTokens;
        for (const TSqlToken& t : TSqlTokenizer::tokenize(text))
            if (t.kind == K::String || t.kind == K::NationalString || t.kind == K::Number)
                fromTokens
                    << QStringLiteral("%1@%2=%3").arg(static_cast<int>(t.kind)).arg(t.position).arg(t.text);
        std::vector<TSqlTokenizer::Literal> literals;
        ASSERT_TRUE(TSqlTokenizer::scanLiterals(text, &literals));
        QStringList scanned;
        for (const auto& l : literals)
            scanned << QStringLiteral("%1@%2=%3")
                           .arg(static_cast<int>(l.kind))
                           .arg(l.begin)
                           .arg(TSqlTokenizer::literalValue(text, l));
        EXPECT_EQ(scanned, fromTokens);
    }
    std::vector<TSqlTokenizer::Literal> literals;
    for (const char* bad :
         {"select 'open", "select [open", "select 1 /* open", "select a ! b", "select a ~ b"}) {
        bool tokenizes = true;
        try {
            TSqlTokenizer::tokenize(QString::fromUtf8(bad));
        } catch (...) {
            tokenizes = false;
        }
        EXPECT_FALSE(tokenizes) << bad;
        EXPECT_FALSE(TSqlTokenizer::scanLiterals(QString::fromUtf8(bad), &literals)) << bad;
    }
}

} // namespace

} // namespace sarvo::db::test
