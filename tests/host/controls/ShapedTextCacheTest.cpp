// Shapes kept for node texts: what a row shows does not depend on whether its shape was kept,
// a text too wide is cut to fit with its ellipsis, a font change reshapes, and the kept shapes
// stay bounded however many rows go by.
#include "ControlsTestSupport.h"

#include "host/controls/ShapedTextCache.h"

#include <QFontMetrics>
#include <QTextLayout>

#include <algorithm>

using sarvo::controls::ShapedTextCache;

namespace {

QFont testFont(int pointSize) {
    QFont f;
    f.setPointSize(pointSize);
    return f;
}

TEST(ShapedTexts, KeptShapesAreTheTextsInTheFontAskedFor) {
    ShapedTextCache cache(8);
    const QFont font = testFont(10);
    QFont italic = font;
    italic.setItalic(true);
    struct Case {
        const char* text;
        const QFont* font;
    };
    for (const Case& c : {Case{"1002 银行存款", &font}, Case{"1002 银行存款", &italic},
                          Case{"𠮷 Kasse", &font}, Case{"", &font}}) {
        const QString text = QString::fromUtf8(c.text);
        ShapedTextCache::Shaped& first = cache.shaped(text, *c.font);
        EXPECT_EQ(first.text, text);
        QTextLayout fresh(text, *c.font);
        fresh.beginLayout();
        const QTextLine line = fresh.createLine();
        fresh.endLayout();
        EXPECT_EQ(first.whole.width, line.naturalTextWidth()) << c.text;
        const QList<QGlyphRun> runs = line.glyphRuns();
        ASSERT_EQ(first.whole.runs.size(), static_cast<size_t>(runs.size())) << c.text;
        for (size_t r = 0; r < first.whole.runs.size(); ++r) {
            const ShapedTextCache::Line::Run& kept = first.whole.runs[r];
            const QGlyphRun& run = runs[static_cast<qsizetype>(r)];
            EXPECT_EQ(kept.font.style() == QFont::StyleItalic, c.font->italic()) << c.text;
            EXPECT_EQ(QList<quint32>(first.whole.glyphs.begin() + kept.first,
                                     first.whole.glyphs.begin() + kept.first + kept.count),
                      run.glyphIndexes())
                << c.text;
            EXPECT_EQ(QList<QPointF>(first.whole.positions.begin() + kept.first,
                                     first.whole.positions.begin() + kept.first + kept.count),
                      run.positions())
                << c.text;
        }
        // The characters' edges, for marking parts of the text: from the left edge to the end of
        // its advance (an italic's overhang lies beyond), in order.
        ASSERT_EQ(first.whole.edges.size(), static_cast<size_t>(text.size()) + 1) << c.text;
        EXPECT_EQ(first.whole.edges.front(), 0);
        EXPECT_NEAR(first.whole.edges.back(), QFontMetricsF(*c.font).horizontalAdvance(text), 1.0) << c.text;
        EXPECT_TRUE(std::is_sorted(first.whole.edges.begin(), first.whole.edges.end())) << c.text;
        EXPECT_EQ(&cache.shaped(text, *c.font), &first) << "asked again: the kept shape";
    }
    // Italic and upright shapes of one text are kept apart.
    EXPECT_NE(&cache.shaped("1002 银行存款", font), &cache.shaped("1002 银行存款", italic));

    // Another font outdates them all: a larger font shapes wider.
    const qreal before = cache.shaped("1002 银行存款", font).whole.width;
    const qreal after = cache.shaped("1002 银行存款", testFont(20)).whole.width;
    EXPECT_GT(after, before * 1.5);
    EXPECT_EQ(cache.size(), 1);
}

TEST(ShapedTexts, TooWideTextsAreCutToFitBesideTheirEllipsis) {
    ShapedTextCache cache;
    const QFont font = testFont(10);
    const QFontMetricsF metrics(font);
    const QString text =
        QStringLiteral("100201 工商银行人民币户 Industrial and Commercial Bank, RMB account");
    ShapedTextCache::Shaped& s = cache.shaped(text, font);
    for (const int width : {40, 120, 200, static_cast<int>(s.whole.width) - 1}) {
        const ShapedTextCache::Line& fit = cache.fitting(s, font, width);
        ASSERT_LT(fit.size, text.size()) << width;
        EXPECT_EQ(fit.width, metrics.horizontalAdvance(text.left(fit.size))) << width;
        EXPECT_LE(fit.width + metrics.horizontalAdvance(QChar(0x2026)), width + 1.0) << width;
        // One character more would not have fitted.
        EXPECT_GT(metrics.horizontalAdvance(text.left(fit.size + 1)) +
                      metrics.horizontalAdvance(QChar(0x2026)),
                  width - 1.0)
            << width;
    }
    EXPECT_EQ(&cache.fitting(s, font, static_cast<int>(s.whole.width) + 1), &s.whole) << "all of it fits";
    EXPECT_EQ(&cache.fitting(s, font, 10000), &s.whole);
}

TEST(ShapedTexts, KeptShapesStayBoundedAndRecentOnesStay) {
    ShapedTextCache cache(8);
    const QFont font = testFont(10);
    ShapedTextCache::Shaped* header = &cache.shaped("资产", font);
    for (int i = 0; i < 1000; ++i) {
        (void)cache.shaped(QString::number(100000 + i), font);
        // A row painted every few rows (a header, the selection) keeps its shape.
        if (i % 5 == 0) {
            EXPECT_EQ(&cache.shaped("资产", font), header) << i;
        }
        EXPECT_LE(cache.size(), 16);
    }
}

} // namespace
