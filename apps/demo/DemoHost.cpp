// One request from the host's side, in the component's calling order.
#include "apps/demo/DemoHost.h"

#include "apps/demo/AccountSetCheck.h"
#include "apps/demo/ComponentLoader.h"
#include "apps/demo/DemoReport.h"
#include "apps/demo/ScriptRunner.h"
#include "data/AccountSetTemplate.h"
#include "host/db/ConnectionString.h"
#include "host/services/DbKit.h"
#include "host/services/LogIn.h"
#include "host/services/MessageService.h"
#include "host/services/ZwPub.h"
#include "runtime/RuntimeError.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

namespace sarvo::demo {

namespace {

// A component call that failed with a run-time error the host would see.
struct CallFailed {
    QString member;
    QString message;
};

Variant invoke(const ObjectRef& component, const QString& member, VariantList& args) {
    try {
        return component->call(member, args);
    } catch (const RuntimeError& e) {
        throw CallFailed{member, QStringLiteral("%1 (%2)").arg(e.description()).arg(e.number())};
    } catch (const std::exception& e) {
        throw CallFailed{member, QString::fromUtf8(e.what())};
    }
}

void assign(const ObjectRef& component, const QString& member, const Variant& value) {
    try {
        component->put(member, value);
    } catch (const RuntimeError& e) {
        throw CallFailed{member, QStringLiteral("%1 (%2)").arg(e.description()).arg(e.number())};
    }
}

} // namespace

DemoHost::DemoHost(DemoOptions options, std::optional<ScriptParser::Result> script)
    : m_options(std::move(options)), m_script(std::move(script)) {}

int DemoHost::run(QByteArray& reportText, QByteArray& diagnostics) {
    const DemoOptions& o = m_options;
    auto complain = [&](const QString& text) { diagnostics += "sarvo-demo: " + text.toUtf8() + '\n'; };

    if (m_script) host::MessageService::setScripted(true);
    host::MessageService::clear();

    DemoReport report;
    // --db: an account-set file, made from the template when missing, or a connection string of
    // a server or an ODBC data source that holds an account set already (shown without password).
    bool isFile = true;
    QString path = o.dbPath, shown = o.dbPath, setName = QFileInfo(o.dbPath).completeBaseName();
    try {
        const db::ConnectionString target = db::ConnectionString::parse(o.dbPath);
        isFile = target.scheme() == db::ConnectionString::Scheme::Sqlite;
        if (isFile) {
            path = target.path();
            setName = QFileInfo(path).completeBaseName();
        } else {
            shown = target.describe();
            setName = target.schemeName();
        }
    } catch (const RuntimeError&) {
    }
    // An account set that cannot serve the request: one line naming the file and the cause, the
    // same in the report, and the exit status of an unusable account set.
    auto unusable = [&](const QString& what, const QString& cause) {
        const QString message = QStringLiteral("account set %1 %2: %3").arg(shown, what, cause);
        complain(message);
        report.setError({{QStringLiteral("message"), message},
                         {QStringLiteral("file"), shown},
                         {QStringLiteral("cause"), cause}});
        report.setMessages(host::MessageService::shown());
        reportText = report.toText();
        return AccountSetUnusable;
    };

    auto kit = std::make_shared<host::DbKit>(isFile ? QStringLiteral("sqlite:") + path : o.dbPath);
    const AccountSetCheck check(isFile ? path : QString(), kit->Connection());

    // The account set: a new file is made from the chosen template.
    if (isFile && !QFileInfo::exists(path)) {
        try {
            data::createAccountSet(path, o.templateName);
        } catch (const RuntimeError& e) {
            if (e.is(ErrorCode::InvalidProcedureCall)) { // no such template: a bad argument
                complain(QStringLiteral("cannot create account set %1 from template \"%2\": %3")
                             .arg(o.dbPath, o.templateName, e.description()));
                return BadArguments;
            }
            return unusable(QStringLiteral("cannot be created from template \"%1\"").arg(o.templateName),
                            check.causeOf(e));
        } catch (const std::exception& e) {
            return unusable(QStringLiteral("cannot be created from template \"%1\"").arg(o.templateName),
                            QString::fromUtf8(e.what()));
        }
    }
    if (const std::optional<QString> cause = check.beforeRequest())
        return unusable(QStringLiteral("cannot be used"), *cause);

    QFile sqlLog(o.logSqlPath);
    if (!o.logSqlPath.isEmpty() &&
        !sqlLog.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        complain(QStringLiteral("cannot write %1: %2").arg(o.logSqlPath, sqlLog.errorString()));
        return BadArguments;
    }
    // The last statement is kept to find out, should the request fail, what the database says.
    QString lastStatement;
    kit->Connection()->setStatementLog([&sqlLog, &lastStatement](const QString& statement) {
        lastStatement = statement;
        if (!sqlLog.isOpen()) return;
        // One statement a line, whatever line breaks the text itself carries.
        QString line = statement;
        line.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ');
        sqlLog.write(line.toUtf8() + '\n');
        sqlLog.flush();
    });

    // The host's own objects and its request.
    auto login = std::make_shared<host::LogIn>();
    login->setLoginYear(QString::number(o.loginYear));
    login->setLanguageID(o.language);
    login->setUserId(o.user);
    auto zwPub = std::make_shared<host::ZwPub>();
    auto request = std::make_shared<host::RefAttribute>();
    request->put(QStringLiteral("Viewpara1"), o.filter);
    request->put(QStringLiteral("Viewpara2"), o.condition);
    request->put(QStringLiteral("Viewreturn4"), o.noEdit ? QStringLiteral("noedit") : QString());

    std::optional<ScriptRunner> runner;
    if (m_script) runner.emplace(*m_script);
    int status = ComponentFailed;

    ComponentLoader loader(ComponentLoader::defaultLibraryPath());
    const ObjectRef component = loader.create("Sarvo.clsSarvo");
    if (!component) {
        complain(loader.error());
        report.setError({{QStringLiteral("message"), loader.error()}});
    } else {
        try {
            assign(component, QStringLiteral("NewZwPub"), zwPub);
            assign(component, QStringLiteral("NewLogIn"), login);
            VariantList none;
            invoke(component, QStringLiteral("RefDirect"), none);

            VariantList source = {Variant(kit),
                                  Variant(setName),
                                  Variant(QStringLiteral("001")),
                                  Variant(static_cast<int16_t>(o.loginYear)),
                                  Variant(o.user),
                                  Variant(QDate::currentDate().startOfDay())};
            if (!invoke(component, QStringLiteral("DRSource"), source).toBool())
                complain(QStringLiteral("DRSource returned False"));

            VariantList attrib = {Variant(request)};
            if (!invoke(component, QStringLiteral("DRSetAttrib"), attrib).toBool())
                complain(QStringLiteral("DRSetAttrib returned False"));

            // The script starts once the modal dialog is up; the show below does not return
            // until the dialog has closed.
            if (runner) runner->watchFor(QStringLiteral("frmSarvo"));
            VariantList year;
            if (o.year) year.append(Variant(*o.year));
            const bool result = invoke(component, QStringLiteral("DRReference"), year).toBool();
            if (runner) runner->stopWatching();

            VariantList back = {Variant()};
            invoke(component, QStringLiteral("DRGetAttrib"), back);
            report.setResult(result);
            report.setAttributes(back[0].isObject() ? back[0].toObject() : ObjectRef());
            status = result ? ReferenceTrue : ReferenceFalse;
            // False with a message is the component's own answer (a year without accounts);
            // without one, something stopped the request: ask the database what.
            if (!result && host::MessageService::shown().isEmpty()) {
                kit->Connection()->setStatementLog({});
                if (const std::optional<QString> cause = check.afterFailure(lastStatement)) {
                    status = unusable(QStringLiteral("cannot be used"), *cause);
                } else {
                    complain(QStringLiteral("DRReference returned False; the last statement sent was: %1")
                                 .arg(lastStatement.simplified()));
                }
            }
        } catch (const CallFailed& failure) {
            if (runner) runner->stopWatching();
            const QString message = QStringLiteral("%1 failed: %2").arg(failure.member, failure.message);
            complain(message);
            report.setError({{QStringLiteral("message"), message}});
        }
    }

    report.setMessages(host::MessageService::shown());
    if (runner) {
        if (runner->wantsTrace()) report.setTrace(runner->trace());
        if (const auto error = runner->error()) report.setError(ScriptRunner::toJson(*error));
    }
    kit->Connection()->setStatementLog({});
    reportText = report.toText();
    return status;
}

} // namespace sarvo::demo
