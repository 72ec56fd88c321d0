// The one road from control events to the form's handlers: a failure escaping a handler is
// reported exactly once with its number and description, what the handler did before it stays,
// and nothing reaches Qt's event loop.
#include "ControlsTestSupport.h"

#include "host/controls/EventDispatcher.h"

#include <QStringList>
#include <functional>
#include <gmock/gmock.h>
#include <stdexcept>

using namespace sarvo;
using namespace sarvo::controls;

namespace {

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override {
        dispatcher.setErrorReporter([this](int number, const QString& text, const std::exception*) {
            reports.push_back({number, text});
        });
    }
    EventDispatcher dispatcher;
    std::vector<std::pair<int, QString>> reports; // number and description
    QStringList work;
};

TEST_F(Dispatcher, FailuresAreReportedOnceAndKeepTheWorkDoneBefore) {
    // What a failing click handler reports, as "number: description".
    const auto failing = [&](const std::function<void()>& fail) {
        work.clear();
        reports.clear();
        dispatcher.dispatch("cmdButton_Click", [&] {
            work << "cleared";
            fail();
            work << "rebuilt";
        });
        EXPECT_EQ(work, QStringList{"cleared"});
        return reports.size() == 1
                   ? QString("%1: %2").arg(reports[0].first).arg(reports[0].second).toStdString()
                   : std::to_string(reports.size()) + " reports";
    };
    using ::testing::ContainsRegex;
    EXPECT_THAT(failing([] { raise(ErrorCode::KeyNotUnique, "y1001"); }), ContainsRegex("^35602: .*y1001"));
    EXPECT_THAT(failing([] { throw RuntimeError(-2147217900, "syntax error"); }),
                ContainsRegex("^-2147217900: syntax"));
    EXPECT_THAT(failing([] { throw std::runtime_error("disk full"); }), ContainsRegex("^51: disk full"));
    EXPECT_THAT(failing([] { throw std::bad_alloc(); }), ContainsRegex("^7: .*memory"));
    EXPECT_THAT(failing([] { throw 42; }), ContainsRegex("^51: Unknown"));
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
    dispatcher.setErrorReporter(
        [](int, const QString&, const std::exception*) { throw std::runtime_error("message box failed"); });
    dispatcher.dispatch("cmdButton_Click", [] { raise(ErrorCode::NoCurrentRecord); });
}

} // namespace
