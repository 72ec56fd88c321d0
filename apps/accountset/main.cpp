// sarvo-accountset: one command that makes an account-set database from a template.
//   sarvo-accountset create PATH TEMPLATE    new SQLite file at PATH ("standard", "budget", "generated:N")
//   sarvo-accountset list                    the template names
// Exit status 0 on success, 1 when the work failed, 2 for a usage error.
#include "data/AccountSetTemplate.h"
#include "runtime/RuntimeError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>

namespace {

int usage(QTextStream& err) {
    err << "usage: sarvo-accountset create PATH TEMPLATE\n"
           "       sarvo-accountset list\n"
           "templates: "
        << sarvo::data::templateNames().join(QStringLiteral(", ")) << '\n';
    return 2;
}

// Accounts per year of the new file, for the closing line.
QString summary(const QString& path) {
    QString text;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("summary"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(QStringLiteral("select iYear, count(*) from code group by iYear order by iYear"), db);
            QStringList years;
            while (q.next())
                years << QStringLiteral("%1: %2").arg(q.value(0).toString(), q.value(1).toString());
            text = years.join(QStringLiteral(", "));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("summary"));
    return text;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
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
        out << "created " << args[1] << " from template " << args[2] << " in " << ms
            << " ms (accounts per year " << summary(args[1]) << ")\n";
        return 0;
    } catch (const sarvo::RuntimeError& e) {
        err << "sarvo-accountset: error " << e.number() << ": " << e.description() << '\n';
        return 1;
    }
}
