// The one road from control events to the form's handlers: a failure escaping a handler is
// reported exactly once with its number and description, what the handler did before it stays,
// and nothing reaches Qt's event loop.
#include "ControlsTestSupport.h"

#include "host/controls/EventDispatcher.h"

#include <QStringList>
#include <functional>
#include <stdexcept>

using namespace sarvo;
using namespace sarvo::controls;

namespace {

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override {
        dispatcher.setErrorReporter([this](int number, const QString& text) {
            reports.push_back({number, text});
        });
    }
    EventDispatcher dispatcher;
    std::vector<std::pair<int, QString>> reports; // number and description
    QStringList work;
};

TEST_F(Dispatcher, FailuresAreReportedOnceAndKeepTheWorkDoneBefore) {
    const struct {
        std::function<void()> fail;
        int number;
        const char* description; // part of the reported description
    } cases[] = {
        {[] { raise(ErrorCode::KeyNotUnique, "y1001"); }, 35602, "y1001"},
        {[] { throw RuntimeError(-2147217900, "syntax error near 'x'"); }, -2147217900, "syntax error"},
        {[] { throw std::runtime_error("disk full"); }, 51, "disk full"},
        {[] { throw std::bad_alloc(); }, 7, "memory"},
        {[] { throw 42; }, 51, "Unknown"},
    };
    for (const auto& c : cases) {
        work.clear();
        reports.clear();
        dispatcher.dispatch("cmdButton_Click", [&] {
            work << "cleared";
            c.fail();
            work << "rebuilt";
        });
        EXPECT_EQ(work, QStringList{"cleared"}) << c.number;
        ASSERT_EQ(reports.size(), 1u) << c.number;
        EXPECT_EQ(reports[0].first, c.number);
        EXPECT_TRUE(reports[0].second.contains(c.description)) << reports[0].second.toStdString();
    }
}

TEST_F(Dispatcher, ANestedDispatchReportsItsOwnFailureOnly) {
    dispatcher.dispatch("Form_KeyDown", [&] {
        dispatcher.dispatch("txtFilter_Change", [&] { work << "filtered"; });
        dispatcher.dispatch("cmdButton_Click", [] { raise(ErrorCode::ElementNotFound, "b1001"); });
        work << "after the inner handlers";
    });
    EXPECT_EQ(work, (QStringList{"filtered", "after the inner handlers"}));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, 35601);
    // A reporter that fails itself has nobody left to tell; the event loop still sees nothing.
    dispatcher.setErrorReporter([](int, const QString&) { throw std::runtime_error("message box failed"); });
    dispatcher.dispatch("cmdButton_Click", [] { raise(ErrorCode::NoCurrentRecord); });
}

} // namespace
