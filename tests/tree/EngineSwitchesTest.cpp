// The tree a filter builds does not depend on what the database layer does beyond the plain
// rendering: with the shape cache, index ranges, indexed temporary tables and the build's memo
// switched off, every layout and match mode gives the same tree lines from the same statements;
// on SQLite and on the PostgreSQL server, whose memo reads one snapshot of its own.
#include "host/db/PipelineSettings.h"
#include "tests/support/DialogHarness.h"

using namespace sarvo;

namespace {

// The engines whose backend holds a snapshot for the memo.
std::vector<const sarvo::testing::EngineSlot*> memoEngines() {
    std::vector<const sarvo::testing::EngineSlot*> out;
    for (const sarvo::testing::EngineSlot* s : sarvo::testing::engineSlotPointers())
        if (s->name == QLatin1String("sqlite") || s->name == QLatin1String("postgresql")) out.push_back(s);
    return out;
}

class EngineSwitchesTest : public sarvo::testing::DialogHarness,
                           public ::testing::WithParamInterface<const sarvo::testing::EngineSlot*> {
public:
    EngineSwitchesTest()
        : DialogHarness(QStringLiteral("generated:1500"), QStringLiteral("2024"), QStringLiteral("zh-cn"),
                        *GetParam()) {}

    struct Built {
        QStringList lines;
        QStringList statements;
        qint64 memoHits = 0;
    };
    Built build(bool switches, bool hierarchy, bool contains, const QString& text) {
        storeTreeDisplay(hierarchy);
        storeOption("IntSarvoFilter", contains ? "1" : "0");
        db::PipelineOptions o;
        o.cacheStatements = o.likeRanges = o.indexTempTables = o.memoJoins = switches;
        connection()->setOptions(o);
        open();
        const qint64 hits = connection()->counters().memoHits;
        pasteFilter(text);
        return {treeLines(), connection()->loggedStatements(), connection()->counters().memoHits - hits};
    }
};

TEST_P(EngineSwitchesTest, EveryLayoutAndModeBuildsTheSameTreeWithTheSwitchesOff) {
    struct Case {
        const char* text;
        bool memo; // whether the hierarchy's temporary table is large enough for a memo
    };
    const std::vector<Case> cases = {
        {"1", true}, {"10", true}, {"2001", false}, {"0101", true}, {"qqq", false}};
    for (bool hierarchy : {false, true})
        for (bool contains : {false, true})
            for (const Case& c : cases) {
                SCOPED_TRACE(QStringLiteral("%1, %2, \"%3\"")
                                 .arg(hierarchy ? "hierarchy" : "flat", contains ? "contains" : "begins",
                                      QString::fromUtf8(c.text))
                                 .toStdString());
                const Built plain = build(false, hierarchy, contains, c.text);
                const Built fast = build(true, hierarchy, contains, c.text);
                EXPECT_EQ(fast.lines, plain.lines);
                EXPECT_EQ(fast.statements, plain.statements);
                EXPECT_EQ(plain.memoHits, 0);
                if (hierarchy && c.memo && plain.statements.size() > 200) {
                    EXPECT_GT(fast.memoHits, 100);
                }
                EXPECT_TRUE(messages().isEmpty());
            }
}

INSTANTIATE_TEST_SUITE_P(Engines, EngineSwitchesTest, ::testing::ValuesIn(memoEngines()),
                         sarvo::testing::slotName);

} // namespace
