// Event handler dispatch with one report per escaping failure.
#include "host/controls/EventDispatcher.h"

#include "runtime/RuntimeError.h"

#include <QLoggingCategory>
#include <new>

namespace sarvo::controls {

namespace {
Q_LOGGING_CATEGORY(lcEvents, "sarvo.events")
}

void EventDispatcher::dispatch(const char* handlerName, const std::function<void()>& handler) const noexcept {
    try {
        handler();
    } catch (const RuntimeError& e) {
        report(handlerName, e.number(), e.description(), &e);
    } catch (const std::bad_alloc&) {
        report(handlerName, kOutOfMemory, QStringLiteral("Out of memory"), nullptr);
    } catch (const std::exception& e) {
        report(handlerName, kInternalError, QString::fromLocal8Bit(e.what()), &e);
    } catch (...) {
        report(handlerName, kInternalError, QStringLiteral("Unknown failure"), nullptr);
    }
}

void EventDispatcher::report(const char* handlerName, int number, const QString& description,
                             const std::exception* error) const noexcept {
    qCInfo(lcEvents, "%s failed: run-time error %d: %s", handlerName, number, qUtf8Printable(description));
    if (!m_reporter) return;
    try {
        m_reporter(number, description, error);
    } catch (...) {
        // A reporter that fails has nobody left to tell; the event loop must still not see it.
        qCWarning(lcEvents, "the error reporter failed while reporting run-time error %d", number);
    }
}

} // namespace sarvo::controls
