// Account classes: positional access with the host language's subscript error.
#include "host/services/CodeClasses.h"

#include "runtime/RuntimeError.h"

namespace sarvo::host {

CodeClasses::CodeClasses(std::vector<Entry> entries)
    : DispatchObject(QStringLiteral("CodeClasses")), m_entries(std::move(entries)) {
    defineProperty(QStringLiteral("Count"), [this] { return Variant(static_cast<int32_t>(count())); });
    defineMethod(QStringLiteral("Item"), [this](VariantList& args) {
        if (args.isEmpty()) raise(ErrorCode::InvalidProcedureCall, QStringLiteral("Item needs a position"));
        return Variant(Item(args[0].toInteger()));
    });
    defineMethod(QStringLiteral("ClassKind"), [this](VariantList& args) {
        if (args.isEmpty())
            raise(ErrorCode::InvalidProcedureCall, QStringLiteral("ClassKind needs a position"));
        return Variant(ClassKind(args[0].toInteger()));
    });
}

const CodeClasses::Entry& CodeClasses::checked(int16_t position) const {
    if (position < 0 || position >= count())
        raise(ErrorCode::SubscriptOutOfRange,
              QStringLiteral("class position %1 of %2 classes").arg(position).arg(count()));
    return m_entries[static_cast<size_t>(position)];
}

QString CodeClasses::Item(int16_t position) const {
    return checked(position).cclass;
}

QString CodeClasses::ClassKind(int16_t position) const {
    return checked(position).kind;
}

} // namespace sarvo::host
