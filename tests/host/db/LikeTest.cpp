// The server's collation and LIKE as this layer gives them: case- and width-insensitive,
// accent-sensitive, trailing blanks ignored by comparisons; the index ranges that hold every
// text equal to a key or matching a pattern.
#include "DbFixture.h"

#include "host/db/Collation.h"
#include "host/db/LikePattern.h"

namespace sarvo::db::test {

namespace {

QByteArray u8(const char* s) {
    return QByteArray(s);
}

int compare(const QByteArray& a, const QByteArray& b) {
    const int c = Collation::compare(a.constData(), a.size(), b.constData(), b.size());
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

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
        {"1001[", "1001[", false},
        {"1001[%", "1001[x", false},
        // Trailing blanks count in LIKE, as for Unicode text on the server.
        {"1002", "1002 ", false},
        {"1002%", "1002 ", true},
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
        // Widths are one: full-width digits and letters, the ideographic space, half-width kana.
        {"１００２%", "100201", true},
        {"1002%", "１００２01", true},
        {"1002%", "1０02", true},
        {"1002%", "1003", false},
        {"1002%", "１００３", false},
        {"ａｂｃ", "abc", true},
        {"yhck", "ＹＨＣＫ", true},
        {"a b", "a　b", true},
        {"ｶﾝ%", "カン定", true},
        {"[１-３]%", "2x", true},
        // A full-width % or _ is a character, not a wildcard.
        {"10％", "10%", true},
        {"10％", "100", false},
        {"1＿2", "1x2", false},
        // Accents stay distinct.
        {"e", "é", false},
        {"É%", "école", true},
    };
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + c.text);
        EXPECT_EQ(LikePattern(QString::fromUtf8(c.pattern)).matches(QString::fromUtf8(c.text)), c.matches);
    }
}

// The quick filter's patterns ("text%", "%text%" with ASCII text) are tested on bytes; every text
// must give what the general walk gives for the same pattern written so that it takes the walk
// ("text%%", "%%text%%"): other widths and cases, the ideographic space, signs that fold to
// letters, Chinese names, malformed bytes.
TEST(LikePatternTest, QuickFilterPatternsMatchAsTheGeneralWalk) {
    const std::vector<const char*> patterns = {"ab%", "%ab%", "10%", "%01%", "A B%", "%k%", "%s1%", "Z%"};
    const std::vector<QByteArray> texts = {
        "ab",
        "AB12",
        "xab",
        "xAbx",
        "a",
        "",
        "1001",
        "100101",
        "x01",
        "A B",
        "a  b",
        QByteArray("\xEF\xBD\x81\xEF\xBD\x82"),         // full-width ab
        QByteArray("\xEF\xBC\x91\xEF\xBC\x90\x30\x31"), // full-width 10, then 01
        QByteArray("x\xEF\xBC\x90\xEF\xBC\x91"),        // x, then full-width 01
        QByteArray("A\xE3\x80\x80"
                   "B"),            // ideographic space
        QByteArray("\xE2\x84\xAA"), // Kelvin sign, folds to k
        QByteArray("\xC5\xBF"
                   "1"), // long s, folds to s
        QByteArray("\xE9\x93\xB6\xE8\xA1\x8C"
                   "ab"), // Chinese, then ab
        QByteArray("\xC3"
                   "ab"),
        QByteArray("a\xFF"
                   "b"),
        QByteArray("\x80\x80"
                   "01"),
    };
    for (const char* p : patterns) {
        QByteArray walked(p);
        walked.replace("%", "%%");
        const LikePattern fast{QByteArray(p)}, general{walked};
        for (const QByteArray& t : texts)
            EXPECT_EQ(fast.matches(t), general.matches(t)) << p << " / " << t.toHex().constData();
    }
    // and a few stated outright
    EXPECT_TRUE(LikePattern(QByteArray("%ab%")).matches(QByteArray("\xEF\xBD\x81\xEF\xBD\x82")));
    EXPECT_TRUE(LikePattern(QByteArray("%k%")).matches(QByteArray("\xE2\x84\xAA")));
    EXPECT_TRUE(LikePattern(QByteArray("%01%")).matches(QByteArray("x\xEF\xBC\x90\xEF\xBC\x91")));
    EXPECT_FALSE(LikePattern(QByteArray("ab%")).matches(QByteArray("xab")));
}

TEST(LikePatternTest, EscapeMakesTheNextCharacterItself) {
    const std::vector<std::tuple<const char*, char32_t, const char*, bool>> cases = {
        {"10!%", U'!', "10%", true}, {"10!%", U'!', "100", false},  {"10!%%", U'!', "10%x", true},
        {"a!_b", U'!', "a_b", true}, {"a!_b", U'!', "axb", false},  {"!!%", U'!', "!x", true},
        {"x![y", U'!', "x[y", true}, {"10\\%", U'\\', "10%", true}, {"ab!", U'!', "ab!", false},
        {"银%", U'银', "%", true},
    };
    for (const auto& [pattern, escape, text, matches] : cases) {
        SCOPED_TRACE(std::string(pattern) + " / " + text);
        EXPECT_EQ(LikePattern(QString::fromUtf8(pattern), escape).matches(QString::fromUtf8(text)), matches);
    }
}

TEST(CollationTest, ComparesAsTheServersDefaultCollation) {
    struct Cmp {
        const char* a;
        const char* b;
        int expected;
    };
    const std::vector<Cmp> cases = {
        {"1002", "1002", 0},   {"1002", "1002 ", 0},    {"1002  ", "1002", 0},    {"１００２", "1002", 0},
        {"1002", "1００2", 0}, {"yhck", "YHCK", 0},     {"ｙｈｃｋ", "YHCK", 0},  {"1002　", "1002", 0},
        {"ｶﾝ", "カン", 0},     {"ΛΟΓΟΣ", "λογος", 0},   {"a", "b", -1},           {"B", "a", 1},
        {"1002", "10021", -1}, {"１００３", "1002", 1}, {"e", "é", -1},           {"a b", "a  b", 1},
        {"", "   ", 0},        {"a\t", "a", -1},        {"库存", "库存现金", -1}, {"Ab", "aB", 0},
    };
    for (const Cmp& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(compare(u8(c.a), u8(c.b)), c.expected);
        EXPECT_EQ(compare(u8(c.b), u8(c.a)), -c.expected);
        // Folded texts order as the comparison does wherever no control character trails.
        if (c.expected == 0) {
            EXPECT_EQ(Collation::foldText(c.a, qstrlen(c.a)), Collation::foldText(c.b, qstrlen(c.b)));
        }
    }
}

// Every character's forms fold alike and include it: what the index ranges rely on.
TEST(CollationTest, FormsAreExactlyTheCharactersThatFoldAlike) {
    for (char32_t c = 0; c < 0x20000; ++c) {
        if (c >= 0xD800 && c < 0xE000) continue;
        const char32_t f = Collation::fold(c);
        ASSERT_EQ(Collation::fold(f), f) << std::hex << static_cast<unsigned>(c);
        const std::vector<char32_t> forms = Collation::forms(c);
        ASSERT_TRUE(std::find(forms.begin(), forms.end(), c) != forms.end())
            << std::hex << static_cast<unsigned>(c);
        ASSERT_TRUE(std::is_sorted(forms.begin(), forms.end()));
    }
    EXPECT_EQ(Collation::forms(U'1'), (std::vector<char32_t>{U'1', U'１'}));
    EXPECT_EQ(Collation::forms(U'k'), (std::vector<char32_t>{U'K', U'k', U'\u212A', U'Ｋ', U'ｋ'}));
    EXPECT_EQ(Collation::forms(U'　'), (std::vector<char32_t>{U' ', U'　'}));
    EXPECT_EQ(Collation::forms(U'库'), (std::vector<char32_t>{U'库'}));
}

TEST(CollationTest, StoredRangesOfACode) {
    const Collation::StoredRanges eq = Collation::storedRanges(u8("1002 "), Collation::Match::Equal);
    EXPECT_EQ(eq.main, Collation::Range(u8("1002"), u8("1002!")));
    const std::vector<Collation::Range> variants = {
        {u8("１"), u8("\xEF\xBC\x92")},         {u8("1０"), u8("1\xEF\xBC\x91")},
        {u8("10０"), u8("10\xEF\xBC\x91")},     {u8("100２"), u8("100\xEF\xBC\x93")},
        {u8("1002　"), u8("1002\xE3\x80\x81")},
    };
    EXPECT_EQ(eq.variants, variants);
    const Collation::StoredRanges prefix = Collation::storedRanges(u8("１００２"), Collation::Match::Prefix);
    EXPECT_EQ(prefix.main, Collation::Range(u8("1002"), u8("1003")));
    EXPECT_EQ(prefix.variants.size(), 4u);
    const Collation::StoredRanges chinese = Collation::storedRanges(u8("资产"), Collation::Match::Equal);
    EXPECT_EQ(chinese.variants, (std::vector<Collation::Range>{{u8("资产　"), u8("资产\xE3\x80\x81")}}));
}

bool inAnyRange(const QByteArray& text, const Collation::StoredRanges& r) {
    auto in = [&](const Collation::Range& range) { return text >= range.first && text < range.second; };
    return in(r.main) || std::any_of(r.variants.begin(), r.variants.end(), in);
}

// Every stored text that equals a key, or matches a pattern, lies in one of its ranges, byte for
// byte: what makes the ranges a safe companion of the exact test.
TEST(CollationTest, EveryMatchLiesInsideTheRangesAndTheMainRangeAloneIsTheSame) {
    const QStringList texts{"1002", "1002 ",   "100201", "１００２", "1０02", "100２01",  "1002　", "10",
                            "1003", "yhck",    "YHCK",   "ｙhCk",    "Yhck ", "库存现金", "库存",   "库房",
                            "K1",   "\u212A1", "ｋ1",    "",         " ",     "a b",      "A　B",   "1002\t"};
    const QStringList keys{"1002", "1002 ", "１００２", "yhck", "库存", "k1", "", "a b"};
    for (const QString& key : keys) {
        const Collation::StoredRanges equal = Collation::storedRanges(key.toUtf8(), Collation::Match::Equal);
        const Collation::StoredRanges prefix =
            Collation::storedRanges(key.toUtf8(), Collation::Match::Prefix);
        EXPECT_EQ(Collation::mainRange(key.toUtf8(), Collation::Match::Equal), equal.main)
            << key.toStdString();
        EXPECT_EQ(Collation::mainRange(key.toUtf8(), Collation::Match::Prefix), prefix.main)
            << key.toStdString();
        for (const QString& t : texts) {
            const QByteArray b = t.toUtf8();
            if (compare(b, key.toUtf8()) == 0) {
                EXPECT_TRUE(inAnyRange(b, equal)) << key.toStdString() << " = " << t.toStdString();
            }
            if (LikePattern(key + QLatin1Char('%')).matches(t)) {
                EXPECT_TRUE(inAnyRange(b, prefix)) << key.toStdString() << "% ~ " << t.toStdString();
            }
        }
    }
}

TEST(LikePatternTest, LiteralPrefixStopsAtTheFirstWildcard) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"1001%", "1001"}, {"10_1%", "10"}, {"%x", ""},         {"ab%", "ab"}, {"1001[1]%", "1001"},
        {"库存%", "库存"}, {"１%", "１"},   {"1-2 ß", "1-2 ß"}, {"", ""},
    };
    for (const auto& [pattern, prefix] : cases) {
        SCOPED_TRACE(pattern);
        EXPECT_EQ(LikePattern::literalPrefix(QByteArray(pattern)), QByteArray(prefix));
    }
    EXPECT_EQ(Collation::upperBound("1001"), QByteArray("1002"));
    EXPECT_EQ(Collation::upperBound(""), Collation::top());
    EXPECT_EQ(Collation::upperBound(QStringLiteral("库").toUtf8()), QByteArray("\xE5\xBA\x94"));
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
                              "'a2', 'lower code', 1), (2024, 'x', '０８', '10% off', 1);"));
    }
};

TEST_F(LikeSqlTest, StatementsMatchWithTheServersMeaning) {
    const std::vector<std::pair<QString, QStringList>> cases = {
        {"ccode_name like N'жук%'", {"01"}},
        {"ccode_name like N'%λογοσ%'", {"02"}},
        {"ccode_name like N'ａｂｃ%'", {"03", "04"}},
        {"ccode_name like N'abc%'", {"03", "04"}},
        {"ccode_name like N'äp%'", {"05"}},
        {"ccode_name like N'ap%'", {}},
        {"ccode_name like N'[库银]存%'", {"06"}},
        // The Cyrillic and Greek letters that look like o are other letters.
        {"ccode_name not like N'%o%'", {"01", "02", "03", "04", "05", "06"}},
        {"ccode_name like N'%'", {"01", "02", "03", "04", "05", "06", "A1", "a2", "０８"}},
        {"ccode like N'a%'", {"A1", "a2"}},
        {"ccode like N'[a-a]_'", {"A1", "a2"}},
        {"ccode like N'0[^1-5]'", {"06", "07", "０８"}},
        {"not ccode like N'0%'", {"A1", "a2"}},
        {"ccode like N'08'", {"０８"}},
        {"ccode_name like N'10!%%' escape N'!'", {"０８"}},
        {"ccode_name like N'10[%]%'", {"０８"}},
        {"ccode_name like N'1!%%' escape N'!'", {}},
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
