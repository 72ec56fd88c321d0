// The account editor as far as the reference dialog needs it: it takes the host's objects and
// returns from Run when done. Editing the chart of accounts is the host application's own
// screen, which this host stand-in does not have, so Run returns at once.
#include "host/services/CodeEditor.h"

#include "host/services/LogIn.h"
#include "host/services/ZwPub.h"
#include "runtime/RuntimeError.h"

#include <atomic>

namespace sarvo::host {

namespace {
std::atomic<int> g_runCount{0};

template <class T> std::shared_ptr<T> objectOfKind(const Variant& v, const char* kind) {
    const ObjectRef object = v.toObject();
    auto typed = std::dynamic_pointer_cast<T>(object);
    if (object && !typed)
        raise(ErrorCode::TypeMismatch,
              QStringLiteral("%1 is not a %2").arg(object->className(), QLatin1String(kind)));
    return typed;
}
} // namespace

CodeEditor::CodeEditor() : DispatchObject(QStringLiteral("CodeEditor")) {
    defineProperty(
        QStringLiteral("ZwPub"), [this] { return Variant(m_zwPub); },
        [this](const Variant& v) { setZwPub(objectOfKind<ZwPub>(v, "public-services object")); });
    defineProperty(
        QStringLiteral("Login"), [this] { return Variant(m_login); },
        [this](const Variant& v) { setLogin(objectOfKind<LogIn>(v, "login object")); });
    defineMethod(QStringLiteral("Run"), [this](VariantList&) {
        Run();
        return Variant();
    });
}

void CodeEditor::Run() {
    ++g_runCount;
}

int CodeEditor::runCount() {
    return g_runCount.load();
}

} // namespace sarvo::host
