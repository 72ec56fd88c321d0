// Node texts shaped once and kept for the rows painted lately. Shaping a line (the font's glyphs
// and their positions for each character) is most of what drawing a row costs; a tree repaints
// mostly the same rows again (a rebuild while typing, a hover, a scroll by a few rows), so the
// glyphs of recent texts are kept: their indexes and positions in plain arrays and the characters'
// edges, not the layout or the glyph runs they came from (several times larger). Two generations
// bound the memory: when the current one is full it becomes the old one, and a text found in the
// old one moves back.
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QString>

#include <algorithm>
#include <memory>
#include <vector>

class QPainter;

namespace sarvo::controls {

class ShapedTextCache {
public:
    // A text, or the part of it shown, in one font on one line.
    struct Line {
        struct Run {
            QRawFont font;
            QGlyphRun::GlyphRunFlags flags;
            int first = 0; // in glyphs and positions
            int count = 0;
        };
        std::vector<Run> runs;
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions; // from the line's left edge and top
        qreal ascent = 0;
        qreal width = 0;
        std::vector<float> edges; // x of each character boundary, from 0 to the text's size
        qsizetype size = 0;       // characters

        // Draws the line with its top left at origin in the painter's pen.
        void draw(QPainter* painter, const QPointF& origin) const;
    };
    struct Shaped {
        QString text;
        Line whole;
        // The part shown in the last width asked for, when the text is too wide for it and is
        // cut for an ellipsis.
        int cutWidth = -1;
        std::unique_ptr<Line> cut; // null when all of it shows
    };

    explicit ShapedTextCache(int generationSize = 24) : m_generationSize(generationSize) {}

    // A generation holds about the rows one paint shows: the memory follows the window's size.
    void setGenerationSize(int size) { m_generationSize = std::max(1, size); }

    // The shape of text in font; valid until the next call.
    Shaped& shaped(const QString& text, const QFont& font);
    // The part of the shaped text that fits in width with an ellipsis after it (cut as the
    // style cuts at the right): the whole line when all of it fits.
    const Line& fitting(Shaped& s, const QFont& font, int width);

    int size() const { return static_cast<int>(m_current.size() + m_old.size()); }
    void clear();

private:
    using Generation = QHash<QString, std::shared_ptr<Shaped>>;
    int m_generationSize;
    QFont m_font; // a change of font (or of the screen it is shaped for) outdates every shape
    Generation m_current;
    Generation m_old;
    Generation m_currentItalic;
    Generation m_oldItalic;
};

} // namespace sarvo::controls
