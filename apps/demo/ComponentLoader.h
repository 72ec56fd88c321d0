// Loads the component the way a host loads an in-process server: the shared library is opened at
// run time, its one exported creation function is looked up by name, and the class is created by
// its ProgID. Nothing of the component is linked into the host.
#pragma once

#include "runtime/DispatchObject.h"

#include <QLibrary>
#include <QString>

namespace sarvo::demo {

class ComponentLoader {
public:
    // libraryPath without prefix and suffix ("<dir>/sarvo" finds libsarvo.so).
    explicit ComponentLoader(const QString& libraryPath);

    // The library next to the executable's bin directory: <app dir>/../lib/sarvo.
    static QString defaultLibraryPath();

    // Loads the library and creates progId. Null and error() set on failure.
    ObjectRef create(const char* progId);
    QString error() const { return m_error; }

private:
    QLibrary m_library;
    QString m_error;
};

} // namespace sarvo::demo
