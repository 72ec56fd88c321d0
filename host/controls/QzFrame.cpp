// Frame over QGroupBox.
#include "host/controls/QzFrame.h"

namespace sarvo::controls {

QzFrame::QzFrame(QWidget* parent) : QGroupBox(parent), ControlBase(this) {}

QString QzFrame::Caption() const {
    return title();
}

void QzFrame::SetCaption(const QString& caption) {
    setTitle(caption);
}

} // namespace sarvo::controls
