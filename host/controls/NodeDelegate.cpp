// Node text with marked parts, context and closed styles.
#include "host/controls/NodeDelegate.h"

#include "host/controls/TreeNodeModel.h"

#include <QApplication>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

namespace sarvo::controls {

const QColor NodeDelegate::kHighlightBackground = QColor(0xFF, 0xD9, 0x4A);
const QColor NodeDelegate::kHighlightText = QColor(0x20, 0x20, 0x20);

namespace {

// One line as wide as the text needs.
void layoutOneLine(QTextLayout& layout) {
    layout.clearLayout();
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
}

} // namespace

void NodeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const QVariantList ranges = index.data(TreeNodeModel::HighlightRole).toList();
    const bool context = index.data(TreeNodeModel::ContextRole).toBool();
    const bool closed = index.data(TreeNodeModel::ClosedRole).toBool();
    if (ranges.isEmpty() && !context && !closed) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    QFont font = opt.font;
    if (context) font.setItalic(true);
    const QFontMetrics metrics(font);
    const QRect textRect =
        style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(2, 0, -2, 0);
    const bool selected = opt.state & QStyle::State_Selected;
    QColor color = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    if (closed && !selected) {
        color = opt.palette.color(QPalette::Disabled, QPalette::Text);
    } else if (context && !selected) {
        const QColor base = opt.palette.color(QPalette::Base);
        color = QColor((color.red() + base.red()) / 2, (color.green() + base.green()) / 2,
                       (color.blue() + base.blue()) / 2);
    }

    // The text is shaped once per row (a marked text used to be shaped run by run, several
    // times over); a text too long for the row is cut with an ellipsis, as the plain drawing does.
    QTextLayout layout(text, font);
    layoutOneLine(layout);
    qsizetype shown = text.size();
    if (layout.lineAt(0).naturalTextWidth() > textRect.width()) {
        const QString elided = metrics.elidedText(text, opt.textElideMode, textRect.width());
        shown = elided == text ? text.size() : std::max<qsizetype>(0, elided.size() - 1);
        layout.setText(text.left(shown));
        layoutOneLine(layout);
    }
    const QTextLine line = layout.lineAt(0);
    std::vector<bool> marked(static_cast<size_t>(text.size()), false);
    for (const QVariant& v : ranges) {
        const QPoint range = v.toPoint();
        for (int i = range.x(); i < range.x() + range.y() && i < text.size(); ++i)
            if (i >= 0) marked[static_cast<size_t>(i)] = true;
    }

    painter->save();
    painter->setFont(font);
    painter->setClipRect(textRect);
    const int baseline = textRect.top() + (textRect.height() - metrics.height()) / 2 + metrics.ascent();
    const QPointF origin(textRect.left(), baseline - line.ascent());
    // Run by run, each drawn from the glyphs shaped above: a marked run on its background.
    for (qsizetype start = 0; start < shown;) {
        const bool mark = marked[static_cast<size_t>(start)];
        qsizetype end = start + 1;
        while (end < shown && marked[static_cast<size_t>(end)] == mark)
            ++end;
        if (mark) {
            const int left = qRound(origin.x() + line.cursorToX(static_cast<int>(start)));
            const int right = qRound(origin.x() + line.cursorToX(static_cast<int>(end)));
            painter->fillRect(QRect(left, textRect.top() + 1, right - left, textRect.height() - 2),
                              kHighlightBackground);
        }
        painter->setPen(mark ? kHighlightText : color);
        for (const QGlyphRun& run : line.glyphRuns(static_cast<int>(start), static_cast<int>(end - start)))
            painter->drawGlyphRun(origin, run);
        start = end;
    }
    if (shown < text.size())
        painter->drawText(QPointF(origin.x() + line.naturalTextWidth(), baseline), QString(QChar(0x2026)));
    painter->restore();
}

} // namespace sarvo::controls
