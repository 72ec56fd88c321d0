// The one road from control events to the form's handlers: a failure escaping a handler is
// reported exactly once with its number and description, what the handler did before it stays,
// and nothing reaches Qt's event loop.
#include "host/controls/EventDispatcher.h"
#include "host/controls/QzCommandButton.h"
#include "runtime/RuntimeError.h"

#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace sarvo;
using namespace sarvo::controls;

namespace {

struct Report {
    int number;
    QString description;
};

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override {
        dispatcher.setErrorReporter([this](int number, const QString& description) {
            reports.push_back({number, description});
        });
    }
    EventDispatcher dispatcher;
    std::vector<Report> reports;
    QStringList work;
};

struct FailureCase {
    const char* name;
    std::function<void()> fail;
    int number;
    const char* description; // contained in the reported description
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class DispatcherFailures : public Dispatcher, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DispatcherFailures, AreReportedOnceAndKeepTheWorkDoneBefore) {
    const FailureCase& c = GetParam();
    EXPECT_NO_THROW(dispatcher.dispatch("cmdButton_Click", [&] {
        work << "cleared";
        c.fail();
        work << "rebuilt";
    }));
    EXPECT_EQ(work, QStringList{"cleared"});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].number, c.number);
    EXPECT_TRUE(reports[0].description.contains(QString::fromUtf8(c.description)))
        << reports[0].description.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Dispatcher, DispatcherFailures,
    ::testing::Values(
        FailureCase{"duplicate_node_key", [] { raise(ErrorCode::KeyNotUnique, "y1001"); }, 35602, "y1001"},
        FailureCase{"no_current_record", [] { raise(ErrorCode::NoCurrentRecord); }, 3021, "current record"},
        FailureCase{"numbered_error", [] { throw RuntimeError(-2147217900, "syntax error near 'x'"); },
                    -2147217900, "syntax error"},
        FailureCase{"standard_exception", [] { throw std::runtime_error("disk full"); }, 51, "disk full"},
        FailureCase{"out_of_memory", [] { throw std::bad_alloc(); }, 7, "memory"},
        FailureCase{"anything_else", [] { throw 42; }, 51, "Unknown"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Dispatcher, AHandlerThatSucceedsReportsNothing) {
    dispatcher.dispatch("txtFilter_Change", [&] { work << "filtered"; });
    EXPECT_EQ(work, QStringList{"filtered"});
    EXPECT_TRUE(reports.empty());
}

TEST_F(Dispatcher, ANestedDispatchReportsItsOwnFailureOnly) {
    dispatcher.dispatch("Form_KeyDown", [&] {
        dispatcher.dispatch("cmdButton_Click", [] { raise(ErrorCode::ElementNotFound, "b1001"); });
        work << "after the inner handler";
    });
    EXPECT_EQ(work, QStringList{"after the inner handler"});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].number, 35601);
}

TEST(DispatcherWithoutReporter, SwallowsFailuresAndFailingReporters) {
    EventDispatcher silent;
    EXPECT_NO_THROW(silent.dispatch("trvDis_DblClick", [] { raise(ErrorCode::TypeMismatch); }));
    EventDispatcher broken;
    broken.setErrorReporter([](int, const QString&) { throw std::runtime_error("message box failed"); });
    EXPECT_NO_THROW(broken.dispatch("trvDis_DblClick", [] { raise(ErrorCode::TypeMismatch); }));
}

TEST_F(Dispatcher, AFailingClickHandlerLeavesTheEventLoopAndTheButtonWorking) {
    QzCommandButton button;
    button.resize(80, 24);
    int clicks = 0;
    QObject::connect(&button, &QzCommandButton::Click, &button, [&] {
        dispatcher.dispatch("cmdButton_Click", [&] {
            ++clicks;
            raise(ErrorCode::NoCurrentRecord);
        });
    });
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].number, 3021);
}

} // namespace
