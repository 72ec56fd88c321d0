// Quiet look-up of the dialog's helper texts.
#include "dialog/UiText.h"

#include "component/basSarvo.h"

namespace sarvo::dialog {

QString uiText(const char* key) {
    try {
        return basSarvo::oZwPub()->ResString(QStringLiteral("Host.GL.Sarvo.Ui.") + QLatin1String(key));
    } catch (...) {
        return {};
    }
}

} // namespace sarvo::dialog
