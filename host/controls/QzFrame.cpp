// Frame over QGroupBox, drawn with its caption on the top border line.
#include "host/controls/QzFrame.h"

#include <QPainter>
#include <QStyle>

namespace sarvo::controls {

namespace {
constexpr int kCaptionIndent = 6;  // pixels from the frame's left edge to the caption
constexpr int kCaptionPadding = 2; // gap in the border line on each side of the caption
} // namespace

QzFrame::QzFrame(QWidget* parent) : QGroupBox(parent), ControlBase(this) {}

QString QzFrame::Caption() const {
    return title();
}

void QzFrame::SetCaption(const QString& caption) {
    setTitle(caption);
}

QRect QzFrame::borderRect() const {
    const int top = fontMetrics().height() / 2;
    return QRect(0, top, width(), height() - top);
}

void QzFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect border = borderRect();
    // An etched line: a dark rectangle with a light one one pixel inside it.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(border.adjusted(0, 0, -2, -2));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(border.adjusted(1, 1, -1, -1));
    if (title().isEmpty()) return;
    const QString shown = QString(title()).remove(QLatin1Char('&'));
    const int textWidth = fontMetrics().horizontalAdvance(shown);
    const QRect caption(kCaptionIndent, 0, textWidth + 2 * kCaptionPadding, fontMetrics().height());
    painter.fillRect(caption, palette().brush(backgroundRole()));
    style()->drawItemText(&painter, caption, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(),
                          title(), QPalette::WindowText);
}

} // namespace sarvo::controls
