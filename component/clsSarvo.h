// The component's public class: the host's whole entry into the account reference. The host
// hands over its service objects, the database context and a request, runs the modal dialog,
// and reads the chosen account back from the attribute object. Reached through this C++ class
// or late-bound by member name (ProgID "Sarvo.clsSarvo").
#pragma once

#include "runtime/DispatchObject.h"

#include <QDateTime>

namespace sarvo {

class clsSarvo : public DispatchObject {
public:
    clsSarvo();
    ~clsSarvo() override;

    // Plain object fields, set by the host by reference.
    ObjectRef NewZwPub;
    ObjectRef NewLogIn;

    // Copies the host objects into the thread's shared state; raises 13 when an object is not
    // of the host's kind.
    void RefDirect();
    bool DRSource(Variant& ZwSetMdb, QString& ZwDataName, QString& ZtNum, int16_t& ZtYear, QString& CzyXm,
                  QDateTime& OperateDate);
    bool DRSetAttrib(Variant& vAttrib);
    bool DRGetAttrib(Variant& vAttrib);
    // Without a year the login's year is used. True when the dialog was shown.
    bool DRReference();
    bool DRReference(Variant& iYear);

private:
    bool reference(const Variant* iYear);
    Variant mvAttrib;
};

} // namespace sarvo

extern "C" {
// In-process server entry: creates the class registered under progId ("Sarvo.clsSarvo") and
// stores it in *object. Returns 0, or the run-time error number (429: cannot create object).
__attribute__((visibility("default"))) int SarvoCreateObject(const char* progId, sarvo::ObjectRef* object);
}
