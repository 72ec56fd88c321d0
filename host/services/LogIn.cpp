// Login object. The stamp joins the process id and a per-process counter, so no two login
// objects alive at the same time on this machine share one, whichever process made them.
#include "host/services/LogIn.h"

#include <QCoreApplication>
#include <atomic>

namespace sarvo::host {

namespace {
std::atomic<int> g_loginCounter{0};
}

LogIn::LogIn() : DispatchObject(QStringLiteral("LogIn")) {
    m_stamp = QStringLiteral("_%1_%2").arg(QCoreApplication::applicationPid()).arg(++g_loginCounter);
    defineProperty(
        QStringLiteral("LoginYear"), [this] { return Variant(m_loginYear); },
        [this](const Variant& v) { m_loginYear = v.toDisplayText(); });
    defineProperty(
        QStringLiteral("LanguageID"), [this] { return Variant(m_languageId); },
        [this](const Variant& v) { m_languageId = v.toDisplayText(); });
    defineProperty(
        QStringLiteral("LoginId"), [this] { return Variant(m_userId); },
        [this](const Variant& v) { m_userId = v.toDisplayText(); });
    defineProperty(QStringLiteral("LoginStamp"), [this] { return m_stamp; });
}

} // namespace sarvo::host
