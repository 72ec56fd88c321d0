// The demo's script language: which lines become which actions, and which lines stop the script.
#include "apps/demo/ScriptParser.h"

#include <gtest/gtest.h>

using namespace sarvo::demo;
using Kind = ScriptAction::Kind;

namespace {

// Words and on/off in any case, blanks and tabs between, a trailing CR ignored; the text of type
// and paste is everything after the one blank, blanks included. Every action word is met in the
// interpreter's tests.
TEST(ScriptParser, ValidLinesBecomeTheirAction) {
    const struct {
        const char* line;
        Kind kind;
        const char* text = "";
        int number = 0;
        bool on = false;
    } cases[] = {{"type 银行存款", Kind::Type, "银行存款"},
                 {"type  a b ", Kind::Type, " a b "},
                 {"paste 1001 库存", Kind::Paste, "1001 库存"},
                 {"mode begins", Kind::Mode},
                 {"MODE Contains", Kind::Mode, "", 1},
                 {"ffc ON", Kind::Ffc, "", 0, true},
                 {"dblclick y1001", Kind::DblClick, "y1001"},
                 {"button 3", Kind::Button, "", 3},
                 {"check 9 on", Kind::Check, "", 9, true},
                 {"check 0   off", Kind::Check},
                 {"drag -600", Kind::Drag, "", -600},
                 {"  wait 50\r", Kind::Wait, "", 50},
                 {"wait\t0", Kind::Wait}};
    for (const auto& c : cases) {
        ScriptError error;
        const auto action = ScriptParser::parseLine(QString::fromUtf8(c.line), 7, &error);
        ASSERT_TRUE(action.has_value()) << c.line << ": " << error.message.toStdString();
        EXPECT_EQ(
            std::tuple(action->kind, action->text.toStdString(), action->number, action->on, action->line),
            std::tuple(c.kind, std::string(c.text), c.number, c.on, 7))
            << c.line;
    }
}

TEST(ScriptParser, InvalidLinesAreReportedWithLineTextAndReason) {
    const std::pair<const char*, const char*> cases[] = {{"hover b1002", "unknown action \"hover\""},
                                                         {"Typo 1", "unknown action \"typo\""},
                                                         {"type", "type TEXT"},
                                                         {"mode left", "mode begins|contains"},
                                                         {"treedisp yes", "treedisp on|off"},
                                                         {"ffc", "ffc on|off"},
                                                         {"click a1 a2", "click KEY"},
                                                         {"button 4", "0 to 3"},
                                                         {"check 10 on", "0 to 9"},
                                                         {"check 1", "check N on|off"},
                                                         {"check 1 maybe", "check N on|off"},
                                                         {"drag 1.5", "twips"},
                                                         {"wait -1", "milliseconds"},
                                                         {"clear now", "takes no argument"}};
    for (const auto& [line, reason] : cases) {
        ScriptError error;
        EXPECT_FALSE(ScriptParser::parseLine(QString::fromUtf8(line), 12, &error).has_value()) << line;
        EXPECT_EQ(error.line, 12) << line;
        EXPECT_EQ(error.text.toStdString(), line);
        EXPECT_TRUE(error.message.contains(QString::fromUtf8(reason))) << error.message.toStdString();
    }
}

TEST(ScriptParser, StopsAtTheFirstBadLineKeepingTheActionsBefore) {
    // Comments and blank lines are neither actions nor errors.
    const auto result =
        ScriptParser::parse("# session\r\nstate\r\n \r\ntype 10\r\n\t# x\nfly away\r\nbutton 0");
    ASSERT_EQ(result.actions.size(), 2);
    EXPECT_EQ(std::pair(result.actions[0].kind, result.actions[0].line), std::pair(Kind::State, 2));
    EXPECT_EQ(result.actions[1].text.toStdString(), "10"); // Windows line ends are no part of the text
    EXPECT_EQ(result.actions[1].line, 4);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->line, 6);
    EXPECT_EQ(result.error->text.toStdString(), "fly away");
    EXPECT_EQ(ScriptParser::parse("state\nwait 50").actions.size(), 2); // no final line break
}

} // namespace
