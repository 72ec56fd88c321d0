// The host side of the benchmark: one account set with the host's database kit, and requests
// made the way a host makes them, in the component's calling order through its public class
// (NewZwPub, NewLogIn, RefDirect, DRSource, DRSetAttrib, DRReference, DRGetAttrib). The open is
// timed from DRReference to the first tree shown; then the caller works the open dialog.
#pragma once

#include "bench/DialogSession.h"
#include "bench/EngineSwitches.h"
#include "bench/Stopwatch.h"
#include "runtime/DispatchObject.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace sarvo::host {
class DbKit;
}
namespace sarvo::db {
class Connection;
}

namespace sarvo::bench {

struct OpenResult {
    Elapsed open;            // DRReference to the first tree shown and laid out
    EngineCounters counters; // statements of the open
    int nodes = 0;           // tree nodes then
    int64_t peakResident = 0;
    bool result = false; // what DRReference returned
};

class HostDriver {
public:
    // accountSet: an existing account set, an SQLite file's path or a server's connection string.
    // The host opens its connection at once, as a host holds its database open across requests.
    HostDriver(const QString& accountSet, int year, const QString& language = QStringLiteral("zh-cn"),
               const QString& user = QStringLiteral("demo"));
    ~HostDriver();

    db::Connection& connection() const;

    // One request with Viewpara1 as the initial filter text. body, if given, runs on the open
    // dialog once the open has been timed; the dialog is closed afterwards (as its window's close
    // button closes it) if body left it open. An exception from body closes the dialog and
    // reaches the caller once DRReference has returned. Raises 5 when the dialog never showed.
    OpenResult request(const QString& viewpara1, const std::function<void(DialogSession&)>& body = {});

    // Messages the component showed (through the host's message service) since the last call,
    // apart from the reports of changes the benchmark stopped at a time limit.
    QStringList takeMessages();

private:
    QString m_path;
    int m_year;
    QString m_language;
    QString m_user;
    std::shared_ptr<host::DbKit> m_kit;
    ObjectRef m_component;
};

} // namespace sarvo::bench
