// SQL Server's LIKE as this layer gives it: wildcards and classes, case-insensitive for every
// script, accent- and width-sensitive; the prefix ranges that let indexes serve it.
#include "DbFixture.h"

#include "host/db/LikePattern.h"

namespace sarvo::db::test {

namespace {

struct MatchCase {
    const char* pattern;
    const char* text;
    bool matches;
};

TEST(LikePatternTest, MatchesAsTheServerDoes) {
    const std::vector<MatchCase> cases = {
        {"abc", "ABC", true},
        {"a%", "Abc", true},
        {"%b%", "ABC", true},
        {"a_c", "abc", true},
        {"a_c", "ac", false},
        {"a_c", "abcd", false},
        {"%", "", true},
        {"_", "", false},
        {"", "", true},
        {"%a%b", "xaxb", true},
        {"%ab", "aab", true},
        {"a%b%c", "abxbc", true},
        {"a%b%c", "abxb", false},
        {"%%x", "x", true},
        {"[abc]x", "Bx", true},
        {"[a-f]1", "E1", true},
        {"[a-f]1", "g1", false},
        {"[^a]1", "b1", true},
        {"[^a]1", "a1", false},
        {"[^a]1", "A1", false},
        {"10[%]", "10%", true},
        {"10[%]", "100", false},
        {"10[_]1", "10_1", true},
        {"10[_]1", "1021", false},
        {"[[]A]", "[a]", true},
        {"1001[", "1001[", false},
        {"1001[%", "1001[x", false},
        // Chinese: no case, every character is itself.
        {"库存%", "库存现金", true},
        {"%现金", "库存现金", true},
        {"库_现金", "库存现金", true},
        {"[库银]%", "银行存款", true},
        {"[^库]%", "库存现金", false},
        {"%银行", "银行存款", false},
        // Case folding beyond ASCII: Cyrillic, Greek (final sigma), full-width Latin.
        {"жук%", "ЖУКОВ", true},
        {"ЖУК", "жук", true},
        {"λογος", "ΛΟΓΟΣ", true},
        {"ΛΌΓΟΣ", "λόγος", true},
        {"ａｂｃ%", "ＡＢＣＤ", true},
        {"[а-я]", "Щ", true},
        // Accents and widths stay distinct.
        {"e", "é", false},
        {"É%", "école", true},
        {"ａｂｃ", "abc", false},
        {"１", "1", false},
    };
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + c.text);
        EXPECT_EQ(LikePattern(QString::fromUtf8(c.pattern)).matches(QString::fromUtf8(c.text)), c.matches);
    }
}

TEST(LikePatternTest, FixedPrefixStopsAtWildcardsAndCasedLetters) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"1001%", "1001"},    {"10_1%", "10"},  {"%x", ""},        {"ab%", ""},
        {"1001[1]%", "1001"}, {"100a%", "100"}, {"库存%", "库存"}, {"库存现金", "库存现金"},
        {"１%", "１"},        {"12Ⅻ", "12"},    {"1-2 ß", "1-2 "}, {"", ""},
    };
    for (const auto& [pattern, prefix] : cases) {
        SCOPED_TRACE(pattern);
        EXPECT_EQ(LikePattern::fixedPrefix(QByteArray(pattern)), QByteArray(prefix));
    }
    EXPECT_EQ(LikePattern::upperBound("1001"), QByteArray("1002"));
    EXPECT_EQ(LikePattern::upperBound(""), QByteArray("\xFF"));
    EXPECT_EQ(LikePattern::upperBound(QStringLiteral("库").toUtf8()), QByteArray("\xE5\xBA\x94"));
}

// Every text that matches lies in [prefix, upperBound(prefix)) byte for byte, which is what
// makes the range a safe companion of the test.
TEST(LikePatternTest, EveryMatchLiesInsideThePrefixRange) {
    const QStringList texts{"1001",   "100101",         "1002", "10",  "1", "库存现金", "库存",    "库房",
                            "1001库", "1001\U0010FFFF", "ABC",  "abc", "a", "",         "１００１"};
    const QStringList patterns{"1001%", "10%", "库存%", "库%", "1001_", "%", "a%", "１%"};
    for (const QString& p : patterns) {
        const QByteArray lo = LikePattern::fixedPrefix(p.toUtf8());
        const QByteArray hi = LikePattern::upperBound(lo);
        for (const QString& t : texts) {
            if (!LikePattern(p).matches(t)) continue;
            const QByteArray b = t.toUtf8();
            EXPECT_TRUE(b >= lo && b < hi) << p.toStdString() << " " << t.toStdString();
        }
    }
}

class LikeSqlTest : public DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        sqlite(QStringLiteral("INSERT INTO code (iYear, cclass, ccode, ccode_name, igrade) VALUES "
                              "(2024, 'x', '01', 'Жуков счёт', 1), (2024, 'x', '02', 'ΛΟΓΟΣ', 1),"
                              "(2024, 'x', '03', 'ＡＢＣ公司', 1), (2024, 'x', '04', 'abc公司', 1),"
                              "(2024, 'x', '05', 'Äpfel', 1), (2024, 'x', '06', '库存现金', 1),"
                              "(2024, 'x', '07', NULL, 1), (2024, 'x', 'A1', 'upper code', 1), (2024, 'x', "
                              "'a2', 'lower code', 1);"));
    }
};

TEST_F(LikeSqlTest, StatementsMatchWithTheServersMeaning) {
    const std::vector<std::pair<QString, QStringList>> cases = {
        {"ccode_name like N'жук%'", {"01"}},
        {"ccode_name like N'%λογοσ%'", {"02"}},
        {"ccode_name like N'ａｂｃ%'", {"03"}},
        {"ccode_name like N'abc%'", {"04"}},
        {"ccode_name like N'äp%'", {"05"}},
        {"ccode_name like N'ap%'", {}},
        {"ccode_name like N'[库银]存%'", {"06"}},
        // The Cyrillic and Greek letters that look like o are other letters.
        {"ccode_name not like N'%o%'", {"01", "02", "03", "04", "05", "06"}},
        {"ccode_name like N'%'", {"01", "02", "03", "04", "05", "06", "A1", "a2"}},
        {"ccode like N'a%'", {"A1", "a2"}},
        {"ccode like N'[a-a]_'", {"A1", "a2"}},
        {"ccode like N'0[^1-5]'", {"06", "07"}},
        {"not ccode like N'0%'", {"A1", "a2"}},
    };
    for (const auto& [condition, expected] : cases) {
        SCOPED_TRACE(condition.toStdString());
        EXPECT_EQ(column(QStringLiteral("select ccode from code where ") + condition +
                             QStringLiteral(" order by ccode"),
                         QStringLiteral("ccode")),
                  expected);
    }
}

} // namespace

} // namespace sarvo::db::test
