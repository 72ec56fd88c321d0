// The public class: moves the host's objects into the shared state, checks that the year has
// accounts, shows the dialog and hands the attribute object back. Public methods turn every
// run-time error into the result False; only the dialog and the module procedures show anything.
#include "component/clsSarvo.h"

#include "component/basSarvo.h"
#include "dialog/frmSarvo.h"
#include "runtime/RuntimeError.h"

namespace sarvo {

namespace {

template <class T> std::shared_ptr<T> asHostObject(const ObjectRef& object) {
    if (!object) return nullptr;
    auto typed = std::dynamic_pointer_cast<T>(object);
    if (!typed)
        raise(ErrorCode::TypeMismatch, object->className() + QStringLiteral(" is not the host's object"));
    return typed;
}

// Reading a member "late, by name" from whatever object the caller put into the request.
Variant memberOf(const Variant& holder, const char* name) {
    const ObjectRef object = holder.toObject();
    if (!object) raise(ErrorCode::ObjectVariableNotSet);
    return object->get(QString::fromLatin1(name));
}

ObjectRef refAttrib() {
    ObjectRef attrib = basSarvo::oZwPub()->RefAttrib();
    if (!attrib) raise(ErrorCode::ObjectVariableNotSet, QStringLiteral("the host has no attribute object"));
    return attrib;
}

} // namespace

clsSarvo::clsSarvo() : DispatchObject(QStringLiteral("clsSarvo")) {
    defineProperty(
        "NewZwPub", [this] { return Variant(NewZwPub); },
        [this](const Variant& v) { NewZwPub = v.toObject(); });
    defineProperty(
        "NewLogIn", [this] { return Variant(NewLogIn); },
        [this](const Variant& v) { NewLogIn = v.toObject(); });
    defineMethod("RefDirect", [this](VariantList&) {
        RefDirect();
        return Variant();
    });
    defineMethod("DRSource", [this](VariantList& a) {
        if (a.size() != 6)
            raise(ErrorCode::InvalidProcedureCall, QStringLiteral("DRSource takes six arguments"));
        QString dataName = a[1].toString(), number = a[2].toString(), user = a[4].toString();
        int16_t year = a[3].toInteger();
        QDateTime date = a[5].toDate();
        const bool ok = DRSource(a[0], dataName, number, year, user, date);
        a[1] = dataName, a[2] = number, a[3] = year, a[4] = user, a[5] = date;
        return Variant(ok);
    });
    defineMethod("DRSetAttrib", [this](VariantList& a) {
        if (a.isEmpty()) a.append(Variant());
        return Variant(DRSetAttrib(a[0]));
    });
    defineMethod("DRGetAttrib", [this](VariantList& a) {
        if (a.isEmpty()) a.append(Variant());
        return Variant(DRGetAttrib(a[0]));
    });
    defineMethod("DRReference",
                 [this](VariantList& a) { return Variant(a.isEmpty() ? DRReference() : DRReference(a[0])); });
}

clsSarvo::~clsSarvo() = default;

void clsSarvo::RefDirect() {
    basSarvo::setZwPub(asHostObject<host::ZwPub>(NewZwPub));
    basSarvo::setLogin(asHostObject<host::LogIn>(NewLogIn));
}

bool clsSarvo::DRSource(Variant& ZwSetMdb, QString& ZwDataName, QString& ZtNum, int16_t& ZtYear,
                        QString& CzyXm, QDateTime& OperateDate) {
    try {
        const auto zwPub = basSarvo::oZwPub();
        zwPub->SetLogin(basSarvo::oLogin());
        zwPub->InitContext(ZwSetMdb, ZwDataName, ZtNum, ZtYear, CzyXm, OperateDate);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool clsSarvo::DRSetAttrib(Variant& vAttrib) {
    try {
        if (!vAttrib.isObject()) return false;
        mvAttrib = Variant(vAttrib.toObject());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool clsSarvo::DRGetAttrib(Variant& vAttrib) {
    try {
        vAttrib = Variant(mvAttrib.toObject());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool clsSarvo::DRReference() {
    return reference(nullptr);
}
bool clsSarvo::DRReference(Variant& iYear) {
    return reference(&iYear);
}

bool clsSarvo::reference(const Variant* year) {
    bool result = true;
    try {
        const ObjectRef attrib = refAttrib();
        attrib->putAt(1, memberOf(mvAttrib, "Viewpara1"));
        attrib->putAt(2, memberOf(mvAttrib, "Viewpara2"));

        basSarvo::iYear() = year ? year->toInteger() : Variant(basSarvo::oLogin()->LoginYear()).toInteger();

        auto records = basSarvo::GetConnection()->execute(
            QStringLiteral("select * from code where iYear=") + QString::number(basSarvo::iYear()), -1);
        if (!(records->bof() && records->eof())) {
            records->close();
            records.reset();
            attrib->putAt(6, memberOf(mvAttrib, "Viewreturn4"));
            frmSarvo::ShowModal();
            attrib->putAt(6, Variant(QString()));
        } else {
            // Prompt first, then title: arguments of one call are evaluated in no fixed order.
            const QString prompt = basSarvo::GetResString(QStringLiteral("Host.GL.Sarvo.NoKmNoRef"));
            const QString title = basSarvo::GetResString(QStringLiteral("Host.GL.Sarvo.tishiInfo"));
            basSarvo::ShowMessage(prompt, int32_t(64), title, QString(), int32_t(0));
            result = false;
            basSarvo::oZwPub()->setRefAttrib(nullptr);
        }
        mvAttrib = Variant(basSarvo::oZwPub()->RefAttrib());

        basSarvo::setZwPub(nullptr);
        basSarvo::setLogin(nullptr);
        NewZwPub.reset();
        NewLogIn.reset();
        return result;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace sarvo

extern "C" int SarvoCreateObject(const char* progId, sarvo::ObjectRef* object) {
    if (!object) return static_cast<int>(sarvo::ErrorCode::InvalidProcedureCall);
    try {
        if (progId &&
            QString::fromUtf8(progId).compare(QLatin1String("Sarvo.clsSarvo"), Qt::CaseInsensitive) == 0) {
            *object = std::make_shared<sarvo::clsSarvo>();
            return 0;
        }
    } catch (...) {
    }
    return 429; // ActiveX component can't create object
}
