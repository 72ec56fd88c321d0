// Node text with marked parts, context and closed styles.
#include "host/controls/NodeDelegate.h"

#include "host/controls/TreeNodeModel.h"

#include <QApplication>
#include <QPainter>

namespace sarvo::controls {

const QColor NodeDelegate::kHighlightBackground = QColor(0xFF, 0xD9, 0x4A);
const QColor NodeDelegate::kHighlightText = QColor(0x20, 0x20, 0x20);

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

    // A text too long for the row is cut with an ellipsis, as the plain drawing does.
    const QString elided = metrics.elidedText(text, opt.textElideMode, textRect.width());
    const qsizetype shown = elided == text ? text.size() : std::max<qsizetype>(0, elided.size() - 1);
    std::vector<bool> marked(static_cast<size_t>(text.size()), false);
    for (const QVariant& v : ranges) {
        const QPoint range = v.toPoint();
        for (int i = range.x(); i < range.x() + range.y() && i < text.size(); ++i)
            if (i >= 0) marked[static_cast<size_t>(i)] = true;
    }

    painter->save();
    painter->setFont(font);
    painter->setClipRect(textRect);
    int x = textRect.left();
    const int baseline = textRect.top() + (textRect.height() - metrics.height()) / 2 + metrics.ascent();
    for (qsizetype start = 0; start < shown;) {
        const bool mark = marked[static_cast<size_t>(start)];
        qsizetype end = start + 1;
        while (end < shown && marked[static_cast<size_t>(end)] == mark)
            ++end;
        const QString run = text.mid(start, end - start);
        const int width = metrics.horizontalAdvance(run);
        if (mark) {
            painter->fillRect(QRect(x, textRect.top() + 1, width, textRect.height() - 2),
                              kHighlightBackground);
            painter->setPen(kHighlightText);
        } else {
            painter->setPen(color);
        }
        painter->drawText(x, baseline, run);
        x += width;
        start = end;
    }
    if (shown < text.size()) {
        painter->setPen(color);
        painter->drawText(x, baseline, QString(QChar(0x2026)));
    }
    painter->restore();
}

} // namespace sarvo::controls
