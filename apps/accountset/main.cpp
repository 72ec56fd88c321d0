// sarvo-accountset: one command that makes an account-set database from a template.
//   sarvo-accountset create TARGET TEMPLATE  TARGET: a new SQLite file (PATH or sqlite:PATH) or a
//                                            server's empty database (postgresql://..., odbc:...);
//                                            TEMPLATE: "standard", "budget", "generated:N"
//   sarvo-accountset list                    the template names
// Exit status 0 on success, 1 when the work failed, 2 for a usage error.
#include "data/AccountSetTemplate.h"
#include "host/db/Connection.h"
#include "host/db/ConnectionString.h"
#include "host/db/Recordset.h"
#include "runtime/RuntimeError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <csignal>

namespace {

int usage(QTextStream& err) {
    err << "usage: sarvo-accountset create TARGET TEMPLATE\n"
           "       sarvo-accountset list\n"
           "templates: "
        << sarvo::data::templateNames().join(QStringLiteral(", ")) << '\n';
    return 2;
}

// Accounts per year of the new account set, for the closing line.
QString summary(const QString& target) {
    try {
        sarvo::db::Connection connection(target);
        connection.open();
        QStringList years;
        for (auto rows = connection.query(
                 QStringLiteral("select iYear, count(*) as n from code group by iYear order by iYear"));
             !rows->eof(); rows->moveNext())
            years << QStringLiteral("%1: %2").arg(rows->fieldAt(0).toDisplayText(),
                                                  rows->fieldAt(1).toDisplayText());
        return years.join(QStringLiteral(", "));
    } catch (const sarvo::RuntimeError&) {
        return {};
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // A file-size limit makes the write fail instead of killing the process, so the half-made
    // file is removed and the reason reported.
    std::signal(SIGXFSZ, SIG_IGN);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);

    if (args.size() == 1 && args[0] == u"list") {
        for (const QString& name : sarvo::data::templateNames())
            out << name << '\n';
        return 0;
    }
    if (args.size() != 3 || args[0] != u"create") return usage(err);

    try {
        QElapsedTimer timer;
        timer.start();
        sarvo::data::createAccountSet(args[1], args[2]);
        const qint64 ms = timer.elapsed();
        out << "created " << sarvo::db::ConnectionString::parse(args[1]).describe() << " from template "
            << args[2] << " in " << ms << " ms (accounts per year " << summary(args[1]) << ")\n";
        return 0;
    } catch (const sarvo::RuntimeError& e) {
        QString target = args[1];
        try {
            target = sarvo::db::ConnectionString::parse(args[1]).describe();
        } catch (const sarvo::RuntimeError&) {
        }
        err << "sarvo-accountset: " << target << ": error " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
}
