// Style texts to caption colours for the check boxes.
#include "host/controls/StyleService.h"

#include "host/controls/QzCheckBox.h"
#include "host/controls/WindowHandles.h"

#include <QStringList>

namespace sarvo::controls {

StyleService& StyleService::Instance() {
    thread_local StyleService service;
    return service;
}

std::optional<QColor> StyleService::highlightColor(const QString& styleText) {
    static const QString prefix = QStringLiteral("checkbutton.");
    const QString text = styleText.trimmed();
    if (!text.startsWith(prefix, Qt::CaseInsensitive)) return std::nullopt;
    const QStringList parts = text.mid(prefix.size()).split(QLatin1Char('-'));
    if (parts.size() != 4 || parts[0].compare(QLatin1String("RGB"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        rgb[i] = parts[i + 1].toInt(&ok);
        if (!ok || rgb[i] < 0 || rgb[i] > 255) return std::nullopt;
    }
    return QColor(rgb[0], rgb[1], rgb[2]);
}

void StyleService::SetStyle(int32_t hWnd, const QString& styleText) {
    if (auto* box = qobject_cast<QzCheckBox*>(WindowHandles::find(hWnd)))
        box->setHighlight(highlightColor(styleText));
}

void StyleService::ResetStyle(int32_t hWnd) {
    if (auto* box = qobject_cast<QzCheckBox*>(WindowHandles::find(hWnd))) box->setHighlight(std::nullopt);
}

} // namespace sarvo::controls
