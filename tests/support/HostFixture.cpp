// Host set-up shared by the component and dialog tests.
#include "tests/support/HostFixture.h"

#include "data/AccountSetTemplate.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QUuid>
#include <QWidget>
#include <stdexcept>

namespace sarvo::testing {

HostFixture::HostFixture(const QString& templateName, const QString& language, const QString& loginYear)
    : m_language(language), m_loginYear(loginYear) {
    data::createAccountSet(databasePath(), templateName);
    host::MessageService::setScripted(true);
    host::MessageService::clear();
    newRequestObjects();
}

HostFixture::~HostFixture() = default;

QString HostFixture::databasePath() const {
    return m_dir.filePath(QStringLiteral("accounts.db"));
}
QString HostFixture::connectionString() const {
    return QStringLiteral("sqlite:") + databasePath();
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

namespace {
template <class F> auto withDatabase(const QString& path, F&& f) {
    const QString name = QUuid::createUuid().toString();
    struct Remover {
        QString name;
        ~Remover() { QSqlDatabase::removeDatabase(name); }
    } remover{name};
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    if (!db.open()) throw std::runtime_error(db.lastError().text().toStdString());
    auto result = f(db);
    db.close();
    return result;
}
} // namespace

void HostFixture::exec(const QString& sql) const {
    withDatabase(databasePath(), [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            throw std::runtime_error((sql + QStringLiteral(": ") + q.lastError().text()).toStdString());
        return 0;
    });
}

QString HostFixture::scalar(const QString& sql) const {
    return withDatabase(databasePath(), [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            throw std::runtime_error((sql + QStringLiteral(": ") + q.lastError().text()).toStdString());
        return q.next() ? q.value(0).toString() : QString();
    });
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
