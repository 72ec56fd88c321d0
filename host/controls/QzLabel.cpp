// Label over QLabel.
#include "host/controls/QzLabel.h"

namespace sarvo::controls {

QzLabel::QzLabel(QWidget* parent) : QLabel(parent), ControlBase(this) {
    setTextFormat(Qt::PlainText);
}

QString QzLabel::Caption() const {
    return text();
}

void QzLabel::SetCaption(const QString& caption) {
    setText(caption);
}

void QzLabel::Refresh() {
    repaint();
}

} // namespace sarvo::controls
