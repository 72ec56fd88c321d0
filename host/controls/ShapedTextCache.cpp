// Shapes of recently drawn node texts; see ShapedTextCache.h.
#include "host/controls/ShapedTextCache.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

namespace sarvo::controls {

namespace {

ShapedTextCache::Line shapeLine(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    ShapedTextCache::Line out;
    for (const QGlyphRun& run : line.glyphRuns()) {
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        out.runs.push_back({run.rawFont(), run.flags(), static_cast<int>(out.glyphs.size()),
                            static_cast<int>(glyphs.size())});
        out.glyphs.insert(out.glyphs.end(), glyphs.begin(), glyphs.end());
        out.positions.insert(out.positions.end(), positions.begin(), positions.end());
    }
    out.ascent = line.ascent();
    out.width = line.naturalTextWidth();
    out.size = text.size();
    out.edges.reserve(static_cast<size_t>(text.size()) + 1);
    for (int i = 0; i <= text.size(); ++i)
        out.edges.push_back(static_cast<float>(line.cursorToX(i)));
    return out;
}

} // namespace

void ShapedTextCache::Line::draw(QPainter* painter, const QPointF& origin) const {
    for (const Run& r : runs) {
        QGlyphRun run;
        run.setRawFont(r.font);
        run.setFlags(r.flags);
        run.setRawData(glyphs.data() + r.first, positions.data() + r.first, r.count);
        painter->drawGlyphRun(origin, run);
    }
}

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
        entry->text = text;
        entry->whole = shapeLine(text, font);
    }
    if (current.size() >= m_generationSize) {
        old = std::move(current);
        current = Generation();
    }
    current.insert(text, entry);
    return *entry;
}

const ShapedTextCache::Line& ShapedTextCache::fitting(Shaped& s, const QFont& font, int width) {
    if (s.whole.width <= width) return s.whole;
    if (s.cutWidth != width) {
        const QString elided = QFontMetrics(font).elidedText(s.text, Qt::ElideRight, width);
        // The ellipsis is drawn after the shown part, not shaped with it.
        const qsizetype shown = elided == s.text ? s.text.size() : std::max<qsizetype>(0, elided.size() - 1);
        s.cutWidth = width;
        s.cut.reset();
        if (shown < s.text.size()) s.cut = std::make_unique<Line>(shapeLine(s.text.left(shown), font));
    }
    return s.cut ? *s.cut : s.whole;
}

void ShapedTextCache::clear() {
    m_current.clear();
    m_old.clear();
    m_currentItalic.clear();
    m_oldItalic.clear();
}

} // namespace sarvo::controls
