// Installing Qt's translation catalogue for the host's language.
#include "host/services/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace sarvo::host {

QString QtTranslations::localeName(const QString& languageId) {
    const QString id = languageId.trimmed().toLower();
    if (id == QLatin1String("zh-cn")) return QStringLiteral("zh_CN");
    if (id == QLatin1String("zh-tw")) return QStringLiteral("zh_TW");
    return {};
}

QtTranslations::QtTranslations(const QString& languageId) {
    const QString locale = localeName(languageId);
    if (locale.isEmpty() || !QCoreApplication::instance()) return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(locale), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    if (QCoreApplication::installTranslator(translator.get())) m_translator = std::move(translator);
}

QtTranslations::~QtTranslations() {
    if (m_translator && QCoreApplication::instance()) QCoreApplication::removeTranslator(m_translator.get());
}

} // namespace sarvo::host
