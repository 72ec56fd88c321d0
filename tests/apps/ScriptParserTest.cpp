// The demo's script language: which lines become which actions, and which lines stop the script.
#include "apps/demo/ScriptParser.h"

#include <gtest/gtest.h>

using sarvo::demo::ScriptAction;
using sarvo::demo::ScriptError;
using sarvo::demo::ScriptParser;
using Kind = ScriptAction::Kind;

namespace {

struct ValidLine {
    const char* line;
    Kind kind;
    QString text;
    int number;
    bool on;
};

void PrintTo(const ValidLine& p, std::ostream* os) {
    *os << p.line;
}

class ScriptParserValid : public ::testing::TestWithParam<ValidLine> {};

TEST_P(ScriptParserValid, BecomesTheAction) {
    const ValidLine& p = GetParam();
    ScriptError error;
    const auto action = ScriptParser::parseLine(QString::fromUtf8(p.line), 7, &error);
    ASSERT_TRUE(action.has_value()) << p.line << ": " << error.message.toStdString();
    EXPECT_EQ(action->kind, p.kind);
    EXPECT_EQ(action->text, p.text);
    EXPECT_EQ(action->number, p.number);
    EXPECT_EQ(action->on, p.on);
    EXPECT_EQ(action->line, 7);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptParserValid,
    ::testing::Values(
        ValidLine{"type 1002", Kind::Type, "1002", 0, false},
        ValidLine{"type 银行存款", Kind::Type, QString::fromUtf8("银行存款"), 0, false},
        // Everything after the one blank is typed, blanks included.
        ValidLine{"type  a b ", Kind::Type, " a b ", 0, false},
        ValidLine{"paste 1001 库存", Kind::Paste, QString::fromUtf8("1001 库存"), 0, false},
        ValidLine{"clear", Kind::Clear, "", 0, false}, ValidLine{"mode begins", Kind::Mode, "", 0, false},
        ValidLine{"MODE Contains", Kind::Mode, "", 1, false},
        ValidLine{"treedisp off", Kind::TreeDisp, "", 0, false}, ValidLine{"ffc ON", Kind::Ffc, "", 0, true},
        ValidLine{"click b1002", Kind::Click, "b1002", 0, false},
        ValidLine{"dblclick y1001", Kind::DblClick, "y1001", 0, false},
        ValidLine{"expand a1", Kind::Expand, "a1", 0, false},
        ValidLine{"collapse z", Kind::Collapse, "z", 0, false}, ValidLine{"enter", Kind::Enter, "", 0, false},
        ValidLine{"filter", Kind::Filter, "", 0, false}, ValidLine{"dump", Kind::Dump, "", 0, false},
        ValidLine{"state", Kind::State, "", 0, false}, ValidLine{"button 3", Kind::Button, "", 3, false},
        ValidLine{"check 9 on", Kind::Check, "", 9, true},
        ValidLine{"check 0   off", Kind::Check, "", 0, false},
        ValidLine{"drag -600", Kind::Drag, "", -600, false},
        ValidLine{"drag 600", Kind::Drag, "", 600, false},
        ValidLine{"  wait 50\r", Kind::Wait, "", 50, false}, ValidLine{"wait\t0", Kind::Wait, "", 0, false}));

class ScriptParserSkipped : public ::testing::TestWithParam<const char*> {};

TEST_P(ScriptParserSkipped, IsNeitherActionNorError) {
    ScriptError error;
    EXPECT_FALSE(ScriptParser::parseLine(QString::fromUtf8(GetParam()), 3, &error).has_value());
    EXPECT_EQ(error.line, 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, ScriptParserSkipped,
                         ::testing::Values("", "   ", "\r", "# open the tree", "\t# x y"));

struct BadLine {
    const char* line;
    const char* message;
};

void PrintTo(const BadLine& p, std::ostream* os) {
    *os << p.line;
}

class ScriptParserInvalid : public ::testing::TestWithParam<BadLine> {};

TEST_P(ScriptParserInvalid, IsReportedWithLineAndText) {
    const BadLine& p = GetParam();
    ScriptError error;
    EXPECT_FALSE(ScriptParser::parseLine(QString::fromUtf8(p.line), 12, &error).has_value());
    EXPECT_EQ(error.line, 12);
    EXPECT_EQ(error.text, QString::fromUtf8(p.line));
    EXPECT_TRUE(error.message.contains(QString::fromUtf8(p.message))) << error.message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptParserInvalid,
    ::testing::Values(BadLine{"hover b1002", "unknown action \"hover\""},
                      BadLine{"Typo 1", "unknown action \"typo\""}, BadLine{"type", "type TEXT"},
                      BadLine{"paste", "paste TEXT"}, BadLine{"mode left", "mode begins|contains"},
                      BadLine{"mode", "mode begins|contains"}, BadLine{"treedisp yes", "treedisp on|off"},
                      BadLine{"ffc", "ffc on|off"}, BadLine{"click", "click KEY"},
                      BadLine{"click a1 a2", "click KEY"}, BadLine{"button 4", "0 to 3"},
                      BadLine{"button x", "0 to 3"}, BadLine{"check 10 on", "0 to 9"},
                      BadLine{"check 1", "check N on|off"}, BadLine{"check 1 maybe", "check N on|off"},
                      BadLine{"drag", "drag TWIPS"}, BadLine{"drag 1.5", "twips"},
                      BadLine{"wait -1", "milliseconds"}, BadLine{"wait soon", "milliseconds"},
                      BadLine{"clear now", "takes no argument"}, BadLine{"dump all", "takes no argument"},
                      BadLine{"enter 1", "takes no argument"}));

TEST(ScriptParser, StopsAtTheFirstBadLineKeepingTheActionsBefore) {
    const auto result =
        ScriptParser::parse(QStringLiteral("# session\nstate\n\ntype 10\nfly away\nbutton 0\n"));
    ASSERT_EQ(result.actions.size(), 2);
    EXPECT_EQ(result.actions[0].kind, Kind::State);
    EXPECT_EQ(result.actions[0].line, 2);
    EXPECT_EQ(result.actions[1].kind, Kind::Type);
    EXPECT_EQ(result.actions[1].line, 4);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->line, 5);
    EXPECT_EQ(result.error->text, QStringLiteral("fly away"));
}

TEST(ScriptParser, WindowsLineEndsAndNoFinalBreak) {
    const auto result = ScriptParser::parse(QStringLiteral("type 1002\r\nwait 50"));
    ASSERT_FALSE(result.error.has_value());
    ASSERT_EQ(result.actions.size(), 2);
    EXPECT_EQ(result.actions[0].text, QStringLiteral("1002"));
    EXPECT_EQ(result.actions[1].number, 50);
}

} // namespace
