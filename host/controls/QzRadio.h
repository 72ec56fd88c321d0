// Option button of the control set (the quick filter's match mode). Buttons with the same
// container exclude each other. Click is raised when the user clicks or arrows onto the button,
// not when Value is assigned in code.
#pragma once

#include "host/controls/ControlBase.h"

#include <QRadioButton>

namespace sarvo::controls {

class QzRadio : public QRadioButton, public ControlBase {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit QzRadio(QWidget* parent = nullptr);

    bool Value() const; // true when selected
    // True selects the button and clears its siblings; false clears it, leaving none selected.
    void SetValue(bool selected);
    QString Caption() const;
    void SetCaption(const QString& caption);

signals:
    void Click();
};

} // namespace sarvo::controls
