// Run-time loading of the component library.
#include "apps/demo/ComponentLoader.h"

#include <QCoreApplication>
#include <QDir>

namespace sarvo::demo {

namespace {
using CreateObject = int (*)(const char* progId, ObjectRef* object);
}

ComponentLoader::ComponentLoader(const QString& libraryPath) : m_library(libraryPath) {}

QString ComponentLoader::defaultLibraryPath() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/sarvo"));
}

ObjectRef ComponentLoader::create(const char* progId) {
    // The component keeps per-thread state and objects whose code lives in the library: it must
    // stay loaded for the life of the process, so it is never unloaded here.
    if (!m_library.isLoaded() && !m_library.load()) {
        m_error = QStringLiteral("cannot load the component: %1").arg(m_library.errorString());
        return {};
    }
    auto create = reinterpret_cast<CreateObject>(m_library.resolve("SarvoCreateObject"));
    if (!create) {
        m_error =
            QStringLiteral("the component exports no SarvoCreateObject: %1").arg(m_library.errorString());
        return {};
    }
    ObjectRef object;
    if (const int rc = create(progId, &object); rc != 0 || !object) {
        m_error = QStringLiteral("SarvoCreateObject(\"%1\") failed with error %2")
                      .arg(QLatin1String(progId))
                      .arg(rc);
        return {};
    }
    m_error.clear();
    return object;
}

} // namespace sarvo::demo
