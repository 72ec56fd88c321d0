// Qt's own texts (standard buttons of message boxes, context menus of text boxes) in the host's
// language while an instance lives: "zh-cn" and "zh-tw" load Qt's Simplified and Traditional
// Chinese translations from the system's Qt translation folder; any other language keeps Qt's
// English. Instances may overlap; each removes only its own translator.
#pragma once

#include <QString>
#include <memory>

class QTranslator;

namespace sarvo::host {

class QtTranslations {
public:
    explicit QtTranslations(const QString& languageId);
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    bool loaded() const { return m_translator != nullptr; }
    // "zh_CN" for "zh-cn" (any case), "zh_TW" for "zh-tw", "" for languages Qt speaks already.
    static QString localeName(const QString& languageId);

private:
    std::unique_ptr<QTranslator> m_translator;
};

} // namespace sarvo::host
