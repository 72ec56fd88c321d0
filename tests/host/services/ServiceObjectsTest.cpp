// The small host objects: attribute object, login, database kit and account editor, as the
// component and the host reach them late-bound.
#include "host/services/CodeEditor.h"
#include "host/services/ZwPub.h"
#include "runtime/RuntimeError.h"

#include <QCoreApplication>
#include <QSet>
#include <gtest/gtest.h>
#include <thread>

namespace sarvo::host::test {

namespace {
template <class F> int errorNumberOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}
} // namespace

TEST(RefAttribute, HasTheSevenPropertiesInInterfaceOrder) {
    RefAttribute a;
    const QStringList expected = {"Viewpara1",   "Viewpara2",   "Viewreturn1", "Viewreturn2",
                                  "Viewreturn3", "Viewreturn4", "ViewOK"};
    ASSERT_EQ(a.propertyCount(), 7);
    for (int i = 1; i <= 7; ++i)
        EXPECT_EQ(a.propertyName(i), expected[i - 1]) << i;
    EXPECT_EQ(errorNumberOf([&] { a.getAt(8); }), 9);

    // Positions and names reach the same storage; values other than ViewOK are kept as given.
    a.putAt(1, Variant("1001"));
    a.put("viewpara2", Variant(int32_t(5)));
    a.putAt(6, Variant("noedit"));
    EXPECT_EQ(a.get("Viewpara1"), Variant("1001"));
    EXPECT_EQ(a.getAt(2), Variant(int32_t(5)));
    EXPECT_EQ(a.get("VIEWRETURN4"), Variant("noedit"));
    EXPECT_TRUE(a.getAt(3).isEmpty());
}

TEST(RefAttribute, ViewOKStoresWhateverIsPutAsABoolean) {
    RefAttribute a;
    EXPECT_EQ(a.getAt(7), Variant(false)) << "a Boolean starts False";
    struct Case {
        Variant put;
        bool stored;
    };
    const Case cases[] = {
        {Variant(true), true},       {Variant(int16_t(-1)), true}, {Variant(int16_t(0)), false},
        {Variant(int32_t(2)), true}, {Variant("True"), true},      {Variant("False"), false},
        {Variant("-1"), true},       {Variant(0.0), false},        {Variant(), false},
    };
    for (const Case& c : cases) {
        a.putAt(7, Variant(!c.stored)); // start from the other value
        a.putAt(7, c.put);
        const Variant v = a.get("ViewOK");
        EXPECT_EQ(v.type(), Variant::Type::Boolean) << c.put.toDisplayText().toStdString();
        EXPECT_EQ(v.toBool(), c.stored) << c.put.toDisplayText().toStdString();
        EXPECT_EQ(a.viewOK(), c.stored);
    }
    a.put("ViewOK", true);
    EXPECT_EQ(errorNumberOf([&] { a.put("ViewOK", Variant("yes please")); }), 13);
    EXPECT_EQ(errorNumberOf([&] { a.put("ViewOK", Variant::null()); }), 94);
    EXPECT_TRUE(a.viewOK()) << "a refused value leaves the flag as it was";
}

TEST(LogIn, PropertiesReadBackLateBoundAndDirect) {
    LogIn login;
    EXPECT_EQ(login.LanguageID(), "zh-cn");
    login.put("LoginYear", Variant(int16_t(2024)));
    login.put("languageid", Variant("en-us"));
    login.put("LoginId", Variant("demo"));
    EXPECT_EQ(login.LoginYear(), "2024");
    EXPECT_EQ(login.get("LanguageID"), Variant("en-us"));
    EXPECT_EQ(login.LoginId(), "demo");
    EXPECT_EQ(login.get("LoginStamp"), login.LoginStamp());
    EXPECT_EQ(errorNumberOf([&] { login.put("LoginStamp", Variant("x")); }), 438)
        << "the stamp is the host's";
}

TEST(LogIn, StampsAreUniquePerLoginAndCarryTheProcess) {
    QSet<QString> stamps;
    std::vector<std::shared_ptr<LogIn>> alive;
    for (int i = 0; i < 200; ++i) {
        alive.push_back(std::make_shared<LogIn>());
        stamps.insert(alive.back()->LoginStamp().toString());
    }
    // Logins made on other threads at the same time as well.
    std::vector<QString> fromThreads(4 * 50);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &fromThreads] {
            for (int i = 0; i < 50; ++i)
                fromThreads[static_cast<size_t>(t * 50 + i)] = LogIn().LoginStamp().toString();
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (const QString& s : fromThreads)
        stamps.insert(s);
    EXPECT_EQ(stamps.size(), 400);

    const QString pid = QString::number(QCoreApplication::applicationPid());
    for (const QString& s : stamps) {
        ASSERT_TRUE(s.contains(pid)) << s.toStdString();
        // The stamp becomes part of a table name after the user id: no blanks or brackets.
        ASSERT_FALSE(s.contains(QLatin1Char(' ')) || s.contains(QLatin1Char(']'))) << s.toStdString();
    }
}

TEST(DbKit, OwnsOneClosedConnectionOnTheGivenDatabase) {
    DbKit kit("sqlite:/tmp/sarvo-services-kit-test.db");
    const auto connection = kit.Connection();
    ASSERT_TRUE(connection);
    EXPECT_EQ(connection->state(), db::Connection::Closed);
    EXPECT_EQ(connection->connectionString(), "sqlite:/tmp/sarvo-services-kit-test.db");
    EXPECT_EQ(kit.get("connection").toObject(), connection);
    EXPECT_EQ(kit.Connection(), connection) << "the same connection every time";
}

TEST(CodeEditor, RunsWithTheHostObjectsItWasGiven) {
    auto editor = std::make_shared<CodeEditor>();
    auto zwPub = std::make_shared<ZwPub>();
    auto login = std::make_shared<LogIn>();
    editor->put("ZwPub", Variant(zwPub));
    editor->put("Login", Variant(login));
    EXPECT_EQ(editor->get("zwpub").toObject(), zwPub);
    EXPECT_EQ(editor->get("login").toObject(), login);
    EXPECT_EQ(errorNumberOf([&] { editor->put("ZwPub", Variant(login)); }), 13);
    EXPECT_EQ(errorNumberOf([&] { editor->put("Login", Variant(zwPub)); }), 13);

    const int before = CodeEditor::runCount();
    editor->Run();
    editor->call("Run");
    EXPECT_EQ(CodeEditor::runCount(), before + 2);
}

TEST(CodeInfo, ExposesEveryFlagTheAttributeDisplayReads) {
    CodeInfo record;
    const QStringList names = {"bExchange", "bMeasure",    "bAuxiliary",   "bPerson",      "bCustomer",
                               "bSupplier", "bDepartment", "cItemClass",   "bCusItem",     "bSupItem",
                               "bDeptItem", "bCusDept",    "bSupDept",     "bJournal",     "bBank",
                               "bEnd",      "bPersonItem", "bCusDeptItem", "bSupDeptItem", "bClosed"};
    ASSERT_EQ(record.propertyCount(), names.size());
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(record.propertyName(i + 1), names[i]);
    record.bSupDeptItem = true;
    record.cItemClass = "01";
    EXPECT_EQ(record.get("bSupDeptItem"), Variant(true));
    EXPECT_EQ(record.get("cItemClass"), Variant("01"));
    record.clear();
    EXPECT_EQ(record.get("bSupDeptItem"), Variant(false));
    EXPECT_EQ(record.get("cItemClass"), Variant(""));
}

} // namespace sarvo::host::test
