// Host set-up shared by the component and dialog tests.
#include "tests/support/HostFixture.h"

#include "data/AccountSetTemplate.h"
#include "host/db/Recordset.h"
#include "runtime/RuntimeError.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <stdexcept>

namespace sarvo::testing {

HostFixture::HostFixture(const QString& templateName, const QString& language, const QString& loginYear,
                         const EngineSlot& engine)
    : m_language(language), m_loginYear(loginYear) {
    // An engine that cannot run here makes nothing; the suite's SetUp skips the test.
    if (engine.unavailable().isEmpty())
        m_connectionString = newAccountSet(engine, m_dir.path(), QStringLiteral("accounts"), templateName);
    host::MessageService::setScripted(true);
    host::MessageService::clear();
    newRequestObjects();
}

HostFixture::~HostFixture() = default;

QString HostFixture::databasePath() const {
    return m_connectionString.startsWith(QLatin1String("sqlite:")) ? m_connectionString.mid(7) : QString();
}

void HostFixture::newRequestObjects() {
    kit = std::make_shared<host::DbKit>(connectionString());
    login = std::make_shared<host::LogIn>();
    login->setUserId(QStringLiteral("demo"));
    login->setLanguageID(m_language);
    login->setLoginYear(m_loginYear);
    zwPub = std::make_shared<host::ZwPub>();
    request = std::make_shared<host::RefAttribute>();
}

db::Connection& HostFixture::side() const {
    if (!m_side) m_side = std::make_unique<db::Connection>(m_connectionString);
    if (m_side->state() == db::Connection::Closed) m_side->open();
    return *m_side;
}

void HostFixture::closeConnections() const {
    if (m_side) m_side->close();
    if (kit) kit->Connection()->close();
}

void HostFixture::exec(const QString& sql) const {
    exec(sql, {});
}

void HostFixture::exec(const QString& sql, const std::vector<db::SqlValue>& params) const {
    try {
        side().native(sql, params);
    } catch (const sarvo::RuntimeError& e) {
        throw std::runtime_error((sql + QStringLiteral(": ") + e.description()).toStdString());
    }
}

QString HostFixture::scalar(const QString& sql) const {
    try {
        const auto rows = side().native(sql);
        return rows->isOpen() && !rows->eof() ? rows->fieldAt(0).toDisplayText() : QString();
    } catch (const sarvo::RuntimeError& e) {
        throw std::runtime_error((sql + QStringLiteral(": ") + e.description()).toStdString());
    }
}

QList<QStringList> HostFixture::rows(const QString& sql) const {
    try {
        QList<QStringList> out;
        const auto rs = side().native(sql);
        for (; rs->isOpen() && !rs->eof(); rs->moveNext()) {
            QStringList row;
            for (int i = 0; i < rs->fieldCount(); ++i) {
                const Variant v = rs->fieldAt(i);
                QString text = v.isNull() ? QString() : v.toDisplayText();
                if (!v.isNull() && text.isNull()) text = QLatin1String(""); // empty, not null
                row << text;
            }
            out << row;
        }
        return out;
    } catch (const sarvo::RuntimeError& e) {
        throw std::runtime_error((sql + QStringLiteral(": ") + e.description()).toStdString());
    }
}

QStringList HostFixture::column(const QString& sql) const {
    QStringList out;
    for (const QStringList& row : rows(sql))
        out << row.value(0);
    return out;
}

struct ModalDriver::State {
    std::function<void(QWidget*)> action;
    int seen = 0;
    QTimer timer;
};

ModalDriver::ModalDriver(std::function<void(QWidget*)> action) : m_state(std::make_shared<State>()) {
    m_state->action = std::move(action);
    auto* state = m_state.get();
    state->timer.setInterval(10);
    QObject::connect(&state->timer, &QTimer::timeout, [state] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal->property("modalDriverSeen").toBool()) return;
        modal->setProperty("modalDriverSeen", true);
        ++state->seen;
        if (state->action) state->action(modal);
        if (modal->isVisible()) modal->close();
    });
    state->timer.start();
}

ModalDriver::~ModalDriver() {
    m_state->timer.stop();
}

int ModalDriver::dialogsSeen() const {
    return m_state->seen;
}

} // namespace sarvo::testing
