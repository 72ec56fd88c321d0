// Command button over QPushButton.
#include "host/controls/QzCommandButton.h"

namespace sarvo::controls {

QzCommandButton::QzCommandButton(QWidget* parent) : QPushButton(parent), ControlBase(this) {
    // Enter belongs to the form's key handler, not to a default button.
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, &QzCommandButton::Click);
}

bool QzCommandButton::Enabled() const {
    return isEnabled();
}

void QzCommandButton::SetEnabled(bool enabled) {
    setEnabled(enabled);
}

QString QzCommandButton::Caption() const {
    return text();
}

void QzCommandButton::SetCaption(const QString& caption) {
    setText(caption);
}

} // namespace sarvo::controls
