// Option button over QRadioButton.
#include "host/controls/QzRadio.h"

namespace sarvo::controls {

QzRadio::QzRadio(QWidget* parent) : QRadioButton(parent), ControlBase(this) {
    connect(this, &QAbstractButton::clicked, this, &QzRadio::Click);
}

bool QzRadio::Value() const {
    return isChecked();
}

void QzRadio::SetValue(bool selected) {
    if (selected || !isChecked()) {
        setChecked(selected);
        return;
    }
    // Qt keeps one button of an exclusive set ticked; the host's option button may be cleared.
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(true);
}

QString QzRadio::Caption() const {
    return text();
}

void QzRadio::SetCaption(const QString& caption) {
    setText(caption);
}

} // namespace sarvo::controls
