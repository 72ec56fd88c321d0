// Shared helpers of the control-set tests: expecting a numbered run-time error, and catching
// what QAbstractItemModelTester reports so a broken model contract fails the test.
#pragma once

#include "runtime/RuntimeError.h"

#include <QAbstractItemModelTester>
#include <QStringList>
#include <QtGlobal>
#include <gtest/gtest.h>
#include <memory>

namespace sarvo::controls::testing {

// The number of the run-time error the callable raises, 0 when it raises none.
template <class F> int errorNumberOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// Attaches a model tester whose complaints (category qt.modeltest) are collected.
class CheckedModel {
public:
    explicit CheckedModel(QAbstractItemModel* model) {
        complaints().clear();
        s_previous = qInstallMessageHandler(&CheckedModel::handler);
        m_tester = std::make_unique<QAbstractItemModelTester>(
            model, QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    ~CheckedModel() {
        m_tester.reset();
        qInstallMessageHandler(s_previous);
    }
    static QStringList& complaints() {
        static QStringList list;
        return list;
    }

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (context.category && qstrcmp(context.category, "qt.modeltest") == 0 && type != QtDebugMsg)
            complaints().append(message);
        else if (s_previous)
            s_previous(type, context, message);
    }
    static inline QtMessageHandler s_previous = nullptr;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

} // namespace sarvo::controls::testing
