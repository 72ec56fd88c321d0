// Node texts shaped once and kept for the rows painted lately. Shaping a line (the font's glyphs
// and their positions for each character) is most of what drawing a row costs; a tree repaints
// mostly the same rows again (a rebuild while typing, a hover, a scroll by a few rows), so the
// shapes of recent texts are kept. Two generations bound the memory: when the current one is
// full it becomes the old one, and a text found in the old one moves back.
#pragma once

#include <QFont>
#include <QHash>
#include <QString>
#include <QTextLayout>

#include <memory>

namespace sarvo::controls {

class ShapedTextCache {
public:
    // One text in one font, laid out on one line as wide as it needs.
    struct Shaped {
        QTextLayout layout;
        qreal width = 0;
        // The part shown in the last width asked for, when the text is too wide for it and is
        // cut for an ellipsis.
        int cutWidth = -1;
        std::unique_ptr<QTextLayout> cut; // null when all of it shows
    };

    explicit ShapedTextCache(int generationSize = 128) : m_generationSize(generationSize) {}

    // The shape of text in font; valid until the next call.
    Shaped& shaped(const QString& text, const QFont& font);
    // The part of the shaped text that fits in width with an ellipsis after it (cut as the
    // style cuts at the right), shaped: the whole text's layout when all of it fits.
    const QTextLayout& fitting(Shaped& s, const QFont& font, int width);

    int size() const { return static_cast<int>(m_current.size() + m_old.size()); }
    void clear();

private:
    using Generation = QHash<QString, std::shared_ptr<Shaped>>;
    const int m_generationSize;
    QFont m_font; // a change of font (or of the screen it is shaped for) outdates every shape
    Generation m_current;
    Generation m_old;
    Generation m_currentItalic;
    Generation m_oldItalic;
};

} // namespace sarvo::controls
