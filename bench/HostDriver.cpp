// Requests through the public class. The dialog is modal: the work on it runs inside its own
// event loop, started by the dialog's first show.
#include "bench/HostDriver.h"

#include "bench/MemoryProbe.h"
#include "bench/StatementStop.h"
#include "component/clsSarvo.h"
#include "host/db/Connection.h"
#include "host/services/DbKit.h"
#include "host/services/LogIn.h"
#include "host/services/MessageService.h"
#include "host/services/RefAttribute.h"
#include "host/services/ZwPub.h"
#include "runtime/RuntimeError.h"

#include <QApplication>
#include <QDate>
#include <QEvent>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <exception>

namespace sarvo::bench {

namespace {

// Catches the first show of the reference dialog and hands it to the work queued behind it.
class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(std::function<void(QWidget*)> shown) : m_shown(std::move(shown)) {
        qApp->installEventFilter(this);
    }
    ~ShowWatcher() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            watched->objectName() == QLatin1String("frmSarvo")) {
            qApp->removeEventFilter(this);
            QPointer<QWidget> dialog = static_cast<QWidget*>(watched);
            // Queued: the show finishes and the dialog's event loop runs before the work starts.
            QTimer::singleShot(0, dialog, [this, dialog] {
                if (dialog) m_shown(dialog);
            });
        }
        return false;
    }

private:
    std::function<void(QWidget*)> m_shown;
};

Variant call(const ObjectRef& component, const char* member, VariantList args = {}) {
    return component->call(QString::fromLatin1(member), args);
}

} // namespace

HostDriver::HostDriver(const QString& accountSet, int year, const QString& language, const QString& user)
    : m_path(accountSet), m_year(year), m_language(language), m_user(user),
      m_kit(std::make_shared<host::DbKit>(
          accountSet.contains(QLatin1String("://")) ? accountSet : QStringLiteral("sqlite:") + accountSet)) {
    // Messages are recorded, not shown: nothing may wait for a person.
    host::MessageService::setScripted(true);
    host::MessageService::clear();
    m_kit->Connection()->open();
    if (const int rc = SarvoCreateObject("Sarvo.clsSarvo", &m_component); rc != 0 || !m_component)
        throw RuntimeError(rc ? rc : 429, QStringLiteral("cannot create Sarvo.clsSarvo"));
}

HostDriver::~HostDriver() = default;

db::Connection& HostDriver::connection() const {
    return *m_kit->Connection();
}

QStringList HostDriver::takeMessages() {
    QStringList texts;
    for (const host::ShownMessage& m : host::MessageService::shown())
        if (!StatementStop::isStopMessage(m.prompt)) texts << m.prompt;
    host::MessageService::clear();
    return texts;
}

OpenResult HostDriver::request(const QString& viewpara1, const std::function<void(DialogSession&)>& body) {
    // The host's own objects for this request.
    auto login = std::make_shared<host::LogIn>();
    login->setLoginYear(QString::number(m_year));
    login->setLanguageID(m_language);
    login->setUserId(m_user);
    auto zwPub = std::make_shared<host::ZwPub>();
    auto attributes = std::make_shared<host::RefAttribute>();
    attributes->put(QStringLiteral("Viewpara1"), viewpara1);
    attributes->put(QStringLiteral("Viewpara2"), QString());
    attributes->put(QStringLiteral("Viewreturn4"), QString());

    m_component->put(QStringLiteral("NewZwPub"), zwPub);
    m_component->put(QStringLiteral("NewLogIn"), login);
    call(m_component, "RefDirect");
    if (!call(m_component, "DRSource",
              {Variant(m_kit), Variant(QFileInfo(m_path.section(QLatin1Char('?'), 0, 0)).completeBaseName()),
               Variant(QStringLiteral("001")), Variant(static_cast<int16_t>(m_year)), Variant(m_user),
               Variant(QDate::currentDate().startOfDay())})
             .toBool())
        raise(ErrorCode::InvalidProcedureCall, QStringLiteral("DRSource returned False"));
    if (!call(m_component, "DRSetAttrib", {Variant(attributes)}).toBool())
        raise(ErrorCode::InvalidProcedureCall, QStringLiteral("DRSetAttrib returned False"));

    OpenResult out;
    bool shown = false;
    std::exception_ptr failure;
    Stopwatch clock;
    EngineCounters before;
    ShowWatcher watcher([&](QWidget* dialog) {
        DialogSession session(dialog);
        session.settle();
        out.open = clock.elapsed();
        out.counters = EngineSwitches::counters(connection()) - before;
        out.peakResident = MemoryProbe::peakResident();
        shown = true;
        try {
            out.nodes = session.nodeCount();
            if (body) body(session);
        } catch (...) {
            failure = std::current_exception();
        }
        session.close();
    });
    MemoryProbe::resetPeak();
    before = EngineSwitches::counters(connection());
    clock.restart();
    out.result = call(m_component, "DRReference").toBool();
    VariantList back = {Variant()};
    call(m_component, "DRGetAttrib", back);
    if (failure) std::rethrow_exception(failure);
    if (!shown)
        raise(ErrorCode::InvalidProcedureCall,
              QStringLiteral("the dialog did not show (DRReference returned %1; messages: %2)")
                  .arg(out.result ? QStringLiteral("True") : QStringLiteral("False"),
                       takeMessages().join(QStringLiteral(" | "))));
    return out;
}

} // namespace sarvo::bench
