// A real host for component tests: a fresh account set from a template in a temporary folder,
// the host's login, public-services object and database kit, as the host application sets them
// up, and a closer for modal dialogs so a request does not wait for a person.
#pragma once

#include "host/db/SqlValue.h"
#include "host/services/DbKit.h"
#include "host/services/LogIn.h"
#include "host/services/MessageService.h"
#include "host/services/RefAttribute.h"
#include "host/services/ZwPub.h"

#include "tests/support/EngineSlots.h"
#include "tests/support/QtPrinters.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

namespace sarvo::testing {

class HostFixture {
public:
    explicit HostFixture(const QString& templateName = QStringLiteral("standard"),
                         const QString& language = QStringLiteral("zh-cn"),
                         const QString& loginYear = QStringLiteral("2024"),
                         const EngineSlot& engine = sqliteSlot());
    ~HostFixture();

    // The account set's file (SQLite) and its connection string (every engine).
    QString databasePath() const;
    QString connectionString() const { return m_connectionString; }
    QString folder() const { return m_dir.path(); }

    // New host objects for one request, as the host creates them.
    std::shared_ptr<host::DbKit> kit;
    std::shared_ptr<host::LogIn> login;
    std::shared_ptr<host::ZwPub> zwPub;
    std::shared_ptr<host::RefAttribute> request; // the caller's own request object
    void newRequestObjects();

    // Runs a statement in the engine's own SQL on the account set (arranging data for a test),
    // through a connection of its own, as another program changing the account set would.
    void exec(const QString& sql) const;
    // The same with values bound to its "?" marks.
    void exec(const QString& sql, const std::vector<db::SqlValue>& params) const;
    QString scalar(const QString& sql) const;
    // Every row of a query in the engine's own SQL, its columns as display text (a null column as
    // a null string); the first column of every row.
    QList<QStringList> rows(const QString& sql) const;
    QStringList column(const QString& sql) const;
    // Closes the side connection of exec and scalar and the kit's connection, so that nothing of
    // this process holds the account set open.
    void closeConnections() const;

private:
    db::Connection& side() const;

    QTemporaryDir m_dir;
    QString m_connectionString;
    mutable std::unique_ptr<db::Connection> m_side;
    QString m_language;
    QString m_loginYear;
};

// While alive, every modal dialog that opens gets `action` run on it once it is shown, then is
// closed as its window's close button would close it (unless the action closed it already).
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(QWidget*)> action = {});
    ~ModalDriver();
    int dialogsSeen() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};

} // namespace sarvo::testing
