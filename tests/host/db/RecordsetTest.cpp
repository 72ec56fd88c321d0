// Connection and record-set behaviour as the component relies on it: ADO positions and errors,
// case-insensitive fields, NULLs, lazy fetching, MoveFirst, the statement log, late binding.
#include "DbFixture.h"

#include "host/db/Field.h"
#include "runtime/RuntimeError.h"

namespace sarvo::db::test {

namespace {

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

class RecordsetTest : public EngineDbFixture {
protected:
    void SetUp() override {
        EngineDbFixture::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        sqlite(QStringLiteral("INSERT INTO code (iYear, cclass, ccode, ccode_name, ccode_engl, igrade, "
                              "chelp, cexch_name) VALUES "
                              "(2024, '资产', '1001', '库存现金', 'Cash', 1, 'KCXJ', NULL),"
                              "(2024, '资产', '1002', '银行存款', 'Bank', 1, 'YHCK', 'USD'),"
                              "(2024, '资产', '100201', '工行', NULL, 2, 'GH', NULL);"));
    }
};

TEST_P(RecordsetTest, EmptyResultIsAtBothEnds) {
    auto rs = m_conn->execute(QStringLiteral("select * from code where iYear=1999"));
    EXPECT_TRUE(rs->isOpen());
    EXPECT_TRUE(rs->bof());
    EXPECT_TRUE(rs->eof());
    EXPECT_EQ(errorOf([&] { rs->field(QStringLiteral("ccode")); }), 3021);
    EXPECT_EQ(errorOf([&] { rs->moveNext(); }), 3021);
}

TEST_P(RecordsetTest, WalksRowsInOrderAndFailsPastTheEnd) {
    auto rs = m_conn->execute(QStringLiteral("select * from code where iYear=2024 order by ccode"));
    EXPECT_FALSE(rs->bof());
    QStringList codes;
    while (!rs->eof()) {
        codes << rs->field(QStringLiteral("cCode")).toString();
        rs->moveNext();
    }
    EXPECT_EQ(codes, (QStringList{QStringLiteral("1001"), QStringLiteral("1002"), QStringLiteral("100201")}));
    EXPECT_EQ(errorOf([&] { rs->field(QStringLiteral("ccode")); }), 3021);
    EXPECT_EQ(errorOf([&] { rs->moveNext(); }), 3021);
    rs->moveFirst();
    EXPECT_EQ(rs->field(QStringLiteral("CCODE")).toString(), QStringLiteral("1001"));
}

TEST_P(RecordsetTest, ValuesKeepTheirTypesAndNullsAreNull) {
    auto rs = m_conn->execute(QStringLiteral("select * from code where ccode='100201'"));
    EXPECT_EQ(rs->field(QStringLiteral("igrade")).type(), Variant::Type::Long);
    EXPECT_EQ(rs->field(QStringLiteral("igrade")).toLong(), 2);
    EXPECT_EQ(rs->field(QStringLiteral("ccode_name")).type(), Variant::Type::String);
    EXPECT_TRUE(rs->field(QStringLiteral("ccode_engl")).isNull());
    EXPECT_TRUE(rs->field(QStringLiteral("cexch_name")).isNull());
}

TEST_P(RecordsetTest, UnknownColumnClosedUseAndDuplicates) {
    auto rs = m_conn->execute(
        QStringLiteral("select ccode, ccode_name as ccode, igrade from code where ccode='1002'"));
    EXPECT_EQ(rs->field(QStringLiteral("CCode")).toString(), QStringLiteral("1002"));
    EXPECT_EQ(errorOf([&] { rs->field(QStringLiteral("nosuch")); }), 3265);
    rs->close();
    EXPECT_EQ(errorOf([&] { rs->field(QStringLiteral("ccode")); }), 3704);
    EXPECT_EQ(errorOf([&] { rs->eof(); }), 3704);
    EXPECT_EQ(errorOf([&] { rs->moveNext(); }), 3704);
    EXPECT_EQ(errorOf([&] { rs->close(); }), 3704);
}

TEST_P(RecordsetTest, StatementsGiveAClosedRecordset) {
    auto rs = m_conn->execute(QStringLiteral("insert into GL_mcodeused values(N'u1',N'1001')"));
    EXPECT_FALSE(rs->isOpen());
    EXPECT_EQ(rows(QStringLiteral("select cuser, ccode from GL_mcodeused")),
              QStringList{QStringLiteral("u1|1001")});
}

TEST_P(RecordsetTest, ReadsOnlyTheRowsTheCallerMovesTo) {
    m_conn->native(QStringLiteral("BEGIN"));
    for (int i = 0; i < 20000; ++i)
        m_conn->command(
            QStringLiteral("insert into code (iYear, cclass, ccode, igrade) values (2023, 'c', ?, 1)"),
            {SqlValue::ofText(QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')))});
    m_conn->native(QStringLiteral("COMMIT"));
    const qint64 before = m_conn->counters().rows;
    auto rs = m_conn->execute(QStringLiteral("select * from code where iYear=2023"));
    EXPECT_FALSE(rs->eof());
    EXPECT_EQ(m_conn->counters().rows - before, 1);
    rs->moveNext();
    EXPECT_EQ(m_conn->counters().rows - before, 2);
}

TEST_P(RecordsetTest, MoveFirstRunsTheQueryAgain) {
    auto rs = m_conn->execute(QStringLiteral("select ccode from code where iYear=2024 order by ccode"));
    rs->moveNext();
    EXPECT_EQ(rs->field(QStringLiteral("ccode")).toString(), QStringLiteral("1002"));
    // Rows added meanwhile show: the cursor cannot go back, so the query runs again.
    m_conn->execute(
        QStringLiteral("insert into code (iYear, cclass, ccode, igrade) values (2024, N'资产', N'1000', 1)"));
    rs->moveFirst();
    EXPECT_FALSE(rs->bof());
    EXPECT_EQ(rs->field(QStringLiteral("ccode")).toString(), QStringLiteral("1000"));
}

TEST_P(RecordsetTest, FieldObjectsFollowTheRecordsetAndPositionsWork) {
    auto rs =
        m_conn->execute(QStringLiteral("select ccode, ccode_name from code where iYear=2024 order by ccode"));
    auto code = rs->fieldObject(QStringLiteral("CCODE"));
    EXPECT_EQ(code->name(), QStringLiteral("ccode"));
    EXPECT_EQ(code->value().toString(), QStringLiteral("1001"));
    rs->moveNext();
    EXPECT_EQ(code->value().toString(), QStringLiteral("1002"));
    EXPECT_EQ(rs->call(QStringLiteral("Collect"), {QStringLiteral("ccode_name")}).toString(),
              QStringLiteral("银行存款"));
    auto byPosition = rs->call(QStringLiteral("Fields"), {Variant(static_cast<int32_t>(1))}).toObject();
    EXPECT_EQ(byPosition->get(QStringLiteral("Name")).toString(), QStringLiteral("ccode_name"));
    EXPECT_EQ(errorOf([&] { rs->call(QStringLiteral("Fields"), {Variant(static_cast<int32_t>(2))}); }), 3265);
}

TEST_P(RecordsetTest, ClosingTheConnectionClosesItsRecordsets) {
    auto rs = m_conn->execute(QStringLiteral("select * from code"));
    m_conn->close();
    EXPECT_EQ(m_conn->state(), 0);
    EXPECT_EQ(errorOf([&] { rs->eof(); }), 3704);
    m_conn->open();
    EXPECT_EQ(errorOf([&] { m_conn->open(); }), 3705);
    EXPECT_FALSE(m_conn->execute(QStringLiteral("select * from code"))->eof());
}

// A record set still reading when its table is dropped keeps its remaining rows.
TEST_P(RecordsetTest, DroppingATableWhileAQueryReadsKeepsTheRows) {
    m_conn->execute(
        QStringLiteral("select  * into tempdb..[t1]  from code  where  iYear=2024 order by ccode "));
    auto rs = m_conn->execute(QStringLiteral("select ccode from tempdb..[t1] order by ccode"));
    EXPECT_EQ(rs->field(QStringLiteral("ccode")).toString(), QStringLiteral("1001"));
    m_conn->execute(QStringLiteral("drop table tempdb..[t1]"));
    QStringList rest;
    for (rs->moveNext(); !rs->eof(); rs->moveNext())
        rest << rs->field(QStringLiteral("ccode")).toString();
    EXPECT_EQ(rest, (QStringList{QStringLiteral("1002"), QStringLiteral("100201")}));
    EXPECT_FALSE(m_conn->tryExecute(QStringLiteral("select * from tempdb..[t1]")));
}

// One statement form is prepared once, whatever its literal values; nested use of the same
// form (a branch loaded while its parent's rows are read) gets a statement of its own.
TEST_P(RecordsetTest, EachStatementFormIsPreparedOnce) {
    const auto confirm = [&](const char* code) {
        return m_conn->execute(
            QStringLiteral("Select Top 1 * FROM code Where ccode= N'%1' and iYear=2024 Order By ccode")
                .arg(QLatin1String(code)));
    };
    const qint64 before = m_conn->counters().prepares;
    EXPECT_EQ(confirm("1001")->field(QStringLiteral("ccode_engl")).toString(), QStringLiteral("Cash"));
    EXPECT_EQ(confirm("1002")->field(QStringLiteral("ccode_engl")).toString(), QStringLiteral("Bank"));
    EXPECT_TRUE(confirm("9999")->eof());
    EXPECT_EQ(m_conn->counters().prepares - before, 1);
    auto outer = confirm("1001");
    auto inner = confirm("1002");
    EXPECT_EQ(outer->field(QStringLiteral("ccode")).toString(), QStringLiteral("1001"));
    EXPECT_EQ(inner->field(QStringLiteral("ccode")).toString(), QStringLiteral("1002"));
    // Only SQLite steps its rows as they are read; the others read them whole and the statement
    // is free again at once.
    EXPECT_EQ(m_conn->counters().prepares - before, engine().name == QLatin1String("sqlite") ? 2 : 1);
}

TEST_P(RecordsetTest, StatementLogHoldsTextsAsPassed) {
    QStringList sunk;
    m_conn->setStatementLog([&](const QString& s) { sunk << s; });
    m_conn->setStatementLogging(true);
    const QStringList texts{QStringLiteral("select * from code where  iYear=2024 order by ccode "),
                            QStringLiteral("drop table tempdb..[nosuch]")};
    for (const QString& t : texts)
        m_conn->tryExecute(t);
    EXPECT_EQ(sunk, texts);
    EXPECT_EQ(m_conn->loggedStatements(), texts);
}

TEST_P(RecordsetTest, LateBoundMembersWorkByName) {
    auto conn = std::make_shared<Connection>(m_connectionString);
    EXPECT_EQ(conn->get(QStringLiteral("State")).toLong(), 0);
    conn->call(QStringLiteral("Open"), {QString(), QString(), QString(), Variant(static_cast<int32_t>(-1))});
    EXPECT_EQ(conn->get(QStringLiteral("state")).toLong(), 1);
    conn->put(QStringLiteral("CursorLocation"), Variant(static_cast<int32_t>(3)));
    EXPECT_EQ(conn->cursorLocation(), 3);
    Variant rsv = conn->call(
        QStringLiteral("Execute"),
        {QStringLiteral("Select Top 1 * FROM code Where ccode= N'1002' and iYear=2024 Order By ccode"),
         Variant(), Variant(static_cast<int32_t>(-1))});
    auto rs = rsv.toObject();
    EXPECT_FALSE(rs->get(QStringLiteral("EOF")).toBool());
    auto field = rs->call(QStringLiteral("Fields"), {QStringLiteral("CCODE_ENGL")}).toObject();
    EXPECT_EQ(field->get(QStringLiteral("Value")).toString(), QStringLiteral("Bank"));
    rs->call(QStringLiteral("MoveNext"));
    EXPECT_TRUE(rs->get(QStringLiteral("EOF")).toBool());
    EXPECT_EQ(errorOf([&] { field->get(QStringLiteral("Value")); }), 3021);
    EXPECT_EQ(errorOf([&] { rs->call(QStringLiteral("Fields"), {QStringLiteral("nosuch")}); }), 3265);
    rs->call(QStringLiteral("Close"));
    conn->call(QStringLiteral("Close"));
    EXPECT_EQ(conn->get(QStringLiteral("State")).toLong(), 0);
    EXPECT_EQ(errorOf([&] { conn->execute(QStringLiteral("select 1")); }), 3704);
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordsetTest, ::testing::ValuesIn(sarvo::testing::engineSlotPointers()),
                         sarvo::testing::slotName);

} // namespace

} // namespace sarvo::db::test
