// Hostile text pasted into the filter box: a public corpus of strings that have broken software
// before, the wildcards and brackets of the server's LIKE, look-alike apostrophes, other widths
// and cases. In both layouts and both match modes the dialog shows no message, writes nothing,
// and shows the tree that an in-memory model of the server's LIKE gives for the same text.
#include "tests/support/DialogHarness.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <map>
#include <optional>

using namespace sarvo;

namespace {

// A character as the server's default collation compares it: width folded (the full-width forms
// of ASCII are ASCII, the ideographic space a blank), then case folded.
char32_t folded(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;
    if (c == 0x3000) c = ' ';
    return QChar::toCaseFolded(c);
}

// The server's LIKE without an escape character, without regard to case: % any run of
// characters, _ any one, [abc] [a-c] [^a-c] one of a class. A [ that is never closed, or a class
// without members, matches nothing; so does a null column.
class Like {
public:
    explicit Like(const QString& pattern) {
        const QList<uint> p = pattern.toUcs4();
        for (qsizetype i = 0; i < p.size(); ++i) {
            Piece piece;
            if (p[i] == '%') {
                piece.kind = Piece::Any;
            } else if (p[i] == '_') {
                piece.kind = Piece::One;
            } else if (p[i] == '[') {
                piece.kind = Piece::Class;
                qsizetype j = i + 1;
                if (j < p.size() && p[j] == '^') {
                    piece.negated = true;
                    ++j;
                }
                for (; j < p.size() && p[j] != ']'; ++j) {
                    const bool range = j + 2 < p.size() && p[j + 1] == '-' && p[j + 2] != ']';
                    piece.members.emplace_back(p[j], range ? p[j + 2] : p[j]);
                    if (range) j += 2;
                }
                if (j == p.size() || piece.members.empty()) m_never = true;
                i = j;
            } else {
                piece.c = folded(p[i]);
            }
            m_pieces.push_back(piece);
        }
    }

    bool matches(const std::optional<QString>& column) const {
        if (m_never || !column) return false;
        const QList<uint> t = column->toUcs4();
        // reach[k]: the pieces so far can consume exactly the first k characters.
        std::vector<char> reach(static_cast<size_t>(t.size()) + 1, 0);
        reach[0] = 1;
        for (const Piece& piece : m_pieces) {
            std::vector<char> next(reach.size(), 0);
            bool any = false;
            for (size_t k = 0; k < reach.size(); ++k) {
                if (piece.kind == Piece::Any) {
                    next[k] = reach[k] || (k > 0 && next[k - 1]);
                } else if (k > 0 && reach[k - 1]) {
                    next[k] = piece.accepts(t[static_cast<qsizetype>(k) - 1]);
                }
                any = any || next[k];
            }
            if (!any) return false;
            reach.swap(next);
        }
        return reach.back();
    }

private:
    struct Piece {
        enum Kind { Char, One, Any, Class } kind = Char;
        char32_t c = 0;
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> members;
        bool accepts(char32_t x) const {
            if (kind == One) return true;
            if (kind == Char) return folded(x) == c;
            bool in = false;
            for (const auto& [lo, hi] : members)
                in = in || (x >= lo && x <= hi) || (folded(x) >= folded(lo) && folded(x) <= folded(hi));
            return in != negated;
        }
    };
    std::vector<Piece> m_pieces;
    bool m_never = false;
};

struct Account {
    QString code, cclass;
    int grade = 0;
    bool closed = false;
    std::optional<QString> name, english, mnemonic;
};

class HostileInputTest : public sarvo::testing::EngineDialogHarness {
protected:
    void SetUp() override {
        EngineDialogHarness::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        storeTreeDisplay(false);
        // Accounts whose names hold what the hostile strings are made of.
        host.exec("insert into code(iYear,cclass,ccode,ccode_name,ccode_engl,igrade,chelp,bclose) values "
                  "(2024,'资产','8901','特殊[符号]','Brackets [a-c] & 100%',1,'TSFH',0),"
                  "(2024,'资产','890101','下划线_名','under_score',2,'XHX',0),"
                  "(2024,'资产','89010101','反斜杠\\名','back\\slash',3,'FXG',0),"
                  "(2024,'资产','890102','O’Brien 户','O''Brien account',2,'OBRIEN',0),"
                  "(2024,'负债','890103','跨类明细','cross class',2,'KLMX',0),"
                  "(2024,'资产','8902','ΣΊΣΥΦΟΣ','straße',1,'XLZM',0),"
                  "(2024,'资产','890201','全角１００２','ＡＢＣ full width',2,'QJ',0),"
                  "(2024,'资产','890202','空英文',null,2,null,0),"
                  "(2024,'资产','8903','已封[存]','closed 100%',1,'YFC',1),"
                  "(2024,'资产','890301','封存下级','under closed',2,'FCXJ',0)");
        readAccountSet();
    }

    // The year's accounts and the class list, read straight from the file.
    void readAccountSet() {
        for (const QStringList& f : host.rows("select ccode, cclass, igrade, bclose, ccode_name, ccode_engl, "
                                              "chelp from code where iYear=2024")) {
            const auto nullable = [](const QString& v) {
                return v.isNull() ? std::nullopt : std::optional<QString>(v);
            };
            accounts.push_back(
                {f[0], f[1], f[2].toInt(), f[3] == "1", nullable(f[4]), nullable(f[5]), nullable(f[6])});
        }
        std::sort(accounts.begin(), accounts.end(),
                  [](const Account& a, const Account& b) { return a.code.toUcs4() < b.code.toUcs4(); });
        classes = host.column("select cclass from host_class order by iPosition");
    }

    // The accounts the quick filter finds for the text in the box: code, name and English name
    // against the text, the mnemonic against it upper-cased; closed accounts hidden.
    std::vector<const Account*> found(const QString& t, bool contains) const {
        const QString shape = contains ? "%%1%" : "%1%";
        const Like text(shape.arg(t)), upper(shape.arg(t.toUpper()));
        std::vector<const Account*> out;
        for (const Account& a : accounts)
            if (!a.closed && (text.matches(a.code) || text.matches(a.name) || text.matches(a.english) ||
                              upper.matches(a.mnemonic)))
                out.push_back(&a);
        return out;
    }

    // The tree the dialog should show, one line per node: indent and key.
    QStringList expectedTree(const QString& boxText, bool contains, bool hierarchy) const {
        QStringList lines{"z"};
        const QString t = QString(boxText).remove(QRegularExpression("^ +| +$"));
        const std::vector<const Account*> matches =
            t.isEmpty() ? std::vector<const Account*>() : found(t, contains);
        // In the hierarchy, the accounts on the way to a match: their code begins a match's code.
        const auto leadsToMatch = [&](const Account& a) {
            const Like prefix(a.code + "%");
            return std::any_of(matches.begin(), matches.end(),
                               [&](const Account* m) { return prefix.matches(m->code); });
        };
        std::function<void(const Account&, int)> branch = [&](const Account& parent, int depth) {
            lines << QString(depth * 2, ' ') + "b" + parent.code;
            const Like below(parent.code + "%");
            for (const Account& a : accounts)
                if (a.grade == parent.grade + 1 && below.matches(a.code) && leadsToMatch(a))
                    branch(a, depth + 1);
        };
        for (int i = 0; i < classes.size(); ++i) {
            lines << "a" + QString::number(i + 1);
            if (t.isEmpty()) continue;
            if (hierarchy) {
                for (const Account& a : accounts)
                    if (a.grade == 1 && a.cclass == classes[i] && leadsToMatch(a)) branch(a, 1);
            } else {
                for (const Account* a : matches)
                    if (a->cclass == classes[i]) lines << "  b" + a->code;
            }
        }
        return lines;
    }

    // The tree on screen, one line per node: indent and key (text and marks dropped).
    QStringList shownTree() const {
        QStringList lines = treeLines();
        for (QString& line : lines)
            line.truncate(line.indexOf(' ', line.size() - line.trimmed().size()));
        return lines;
    }

    // Every row of a table, every column quoted (NULL for a null), in a fixed order.
    QString tableText(const QString& table, const QStringList& columns) const {
        QStringList lines;
        for (const QStringList& row : host.rows("select " + columns.join(',') + " from " + table)) {
            QStringList quoted;
            for (const QString& v : row)
                quoted << (v.isNull() ? QStringLiteral("NULL") : "'" + QString(v).replace("'", "''") + "'");
            lines << quoted.join(',');
        }
        lines.sort();
        return lines.join('\n');
    }
    QString recentlyUsedTable() const { return tableText("GL_mcodeused", {"cuser", "ccode"}); }
    QString optionsTable() const {
        return tableText("AccInformation", {"cSysID", "cID", "cName", "cCaption", "cType", "cValue",
                                            "cDefault", "bVisible", "bEnable"});
    }

    std::vector<Account> accounts;
    QStringList classes;
};

// What a tree has that the expected one lacks and the other way round, or that the order differs.
QString differences(const QStringList& shown, const QStringList& expected) {
    QStringList extra, missing;
    for (const QString& line : shown)
        if (!expected.contains(line)) extra << line.trimmed();
    for (const QString& line : expected)
        if (!shown.contains(line)) missing << line.trimmed();
    if (extra.isEmpty() && missing.isEmpty()) return "nodes in another order or place: " + shown.join(',');
    return "shown but not expected {" + extra.join(',') + "}, expected but not shown {" + missing.join(',') +
           '}';
}

QStringList hostileStrings() {
    QFile corpus(QStringLiteral(SARVO_NAUGHTY_STRINGS));
    EXPECT_TRUE(corpus.open(QIODevice::ReadOnly)) << SARVO_NAUGHTY_STRINGS;
    QStringList strings;
    for (const QJsonValue& v : QJsonDocument::fromJson(corpus.readAll()).array())
        strings << v.toString();
    // The server's LIKE at its edges: wildcards, classes, unclosed and empty brackets, a lone
    // backslash (no escape character is declared). Then apostrophes that are none to the server,
    // other widths, other cases, other blanks.
    strings += QString("%|_|[|]|[a-c]|[^x]|10[|\\|%%|_%|1_0_|[1]002|100[12]|[^1]%|[]|[^]|[a-]|[-a]|[z-a]|"
                       "]1002|%[%|[%]|[_]|[[]|100%|Brackets [[]a-c]|under[_]")
                   .split('|');
    strings +=
        QString("\u2019|O\u2019Brien|\uFF07|x\uFF07 or \uFF071\uFF07=\uFF071|\u02BC|1002\u2019|１００２|"
                "ＡＢＣ|ａｂｃ|STRASSE|straße|σίσυφος|ΣΊΣΥΦΟΣ|  1002  |\t1002|\u00a01002|\u30001002")
            .split('|');
    return strings;
}

TEST_P(HostileInputTest, PastedStringsGiveTheTreeOfTheServersLikeWithoutMessageOrWrite) {
    const QStringList strings = hostileStrings();
    ASSERT_GT(strings.size(), 500);
    const QString refused = "<>'\"|&,";
    addRecentRows({"demo:1001", "accountant:1002"});
    const QString usedBefore = recentlyUsedTable(), optionsBefore = optionsTable();
    open();
    QStringList failures;
    int checked = 0;
    for (const bool hierarchy : {false, true}) {
        if (hierarchy) click(chkTreeDisp());
        for (const bool contains : {false, true}) {
            click(optFilter(contains ? 1 : 0));
            for (const QString& s : strings) {
                const QString what =
                    QStringLiteral("%1/%2 \"%3\": ")
                        .arg(hierarchy ? "hierarchy" : "flat", contains ? "contains" : "begins")
                        .arg(s.left(40));
                clearStatements();
                pasteFilter(s);
                QString kept = s;
                kept.removeIf([&](QChar c) { return refused.contains(c); });
                if (filterBox().Text() != kept)
                    failures << what + "the box holds \"" + filterBox().Text() + '"';
                const QStringList shown = shownTree(),
                                  expected = expectedTree(filterBox().Text(), contains, hierarchy);
                if (shown != expected) failures << what + differences(shown, expected);
                if (!messages().isEmpty()) failures << what + "message " + messages().join(" / ");
                const QStringList writes = statements().filter(QRegularExpression(
                    "^\\s*(insert|update|delete|if)\\b", QRegularExpression::CaseInsensitiveOption));
                if (!writes.isEmpty()) failures << what + "wrote " + writes.join(" / ");
                host::MessageService::clear();
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, strings.size() * 4);
    EXPECT_EQ(failures.size(), 0) << failures.mid(0, 15).join('\n').toStdString();
    EXPECT_EQ(recentlyUsedTable(), usedBefore);
    EXPECT_EQ(optionsTable(), optionsBefore);
    EXPECT_TRUE(form->isVisible());
}

SARVO_ON_EVERY_ENGINE(HostileInputTest);

} // namespace
