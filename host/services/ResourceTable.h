// The host's resource texts in its three languages: the messages and titles the component shows
// and the captions of the reference dialog's controls. One table, compiled in.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace sarvo::host {

class ResourceTable {
public:
    enum class Language { ZhCn, ZhTw, EnUs };

    // "zh-cn", "zh-tw", "en-us" in any case; every other id reads the English texts.
    static Language languageOf(const QString& languageId);
    // Text of a key (compared without regard to case); nullopt when the table has no such key.
    static std::optional<QString> text(const QString& key, Language language);
    // Every key of the table, in table order.
    static QStringList keys();
};

} // namespace sarvo::host
