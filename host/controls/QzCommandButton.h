// Command button of the control set (OK, recently used, edit, cancel, the attribute filter).
// Click is raised when the user presses the button (mouse, space bar) or by click() in code.
#pragma once

#include "host/controls/ControlBase.h"

#include <QPushButton>

namespace sarvo::controls {

class QzCommandButton : public QPushButton, public ControlBase {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit QzCommandButton(QWidget* parent = nullptr);

    bool Enabled() const;
    void SetEnabled(bool enabled);
    QString Caption() const;
    void SetCaption(const QString& caption);

signals:
    void Click();
};

} // namespace sarvo::controls
