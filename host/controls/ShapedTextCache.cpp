// Shapes of recently drawn node texts; see ShapedTextCache.h.
#include "host/controls/ShapedTextCache.h"

#include <QFontMetrics>

namespace sarvo::controls {

namespace {

void layOutOneLine(QTextLayout& layout) {
    layout.clearLayout();
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
}

} // namespace

ShapedTextCache::Shaped& ShapedTextCache::shaped(const QString& text, const QFont& font) {
    QFont plain = font;
    plain.setItalic(false);
    if (!(plain == m_font) || plain.resolveMask() != m_font.resolveMask()) {
        clear();
        m_font = plain;
    }
    const bool italic = font.italic();
    Generation& current = italic ? m_currentItalic : m_current;
    Generation& old = italic ? m_oldItalic : m_old;
    if (const auto found = current.constFind(text); found != current.cend()) return **found;
    std::shared_ptr<Shaped> entry;
    if (const auto found = old.constFind(text); found != old.cend()) {
        entry = *found;
    } else {
        entry = std::make_shared<Shaped>();
        entry->layout.setText(text);
        entry->layout.setFont(font);
        entry->layout.setCacheEnabled(true);
        layOutOneLine(entry->layout);
        entry->width = entry->layout.lineAt(0).naturalTextWidth();
    }
    if (current.size() >= m_generationSize) {
        old = std::move(current);
        current = Generation();
    }
    current.insert(text, entry);
    return *entry;
}

const QTextLayout& ShapedTextCache::fitting(Shaped& s, const QFont& font, int width) {
    if (s.width <= width) return s.layout;
    if (s.cutWidth != width) {
        const QString text = s.layout.text();
        const QString elided = QFontMetrics(font).elidedText(text, Qt::ElideRight, width);
        // The ellipsis is drawn after the shown part, not shaped with it.
        const qsizetype shown = elided == text ? text.size() : std::max<qsizetype>(0, elided.size() - 1);
        s.cutWidth = width;
        s.cut.reset();
        if (shown < text.size()) {
            s.cut = std::make_unique<QTextLayout>(text.left(shown), font);
            layOutOneLine(*s.cut);
        }
    }
    return s.cut ? *s.cut : s.layout;
}

void ShapedTextCache::clear() {
    m_current.clear();
    m_old.clear();
    m_currentItalic.clear();
    m_oldItalic.clear();
}

} // namespace sarvo::controls
