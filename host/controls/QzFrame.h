// Frame of the control set: a captioned group box. Controls created with the frame as parent
// are placed in twips relative to the frame's top-left corner.
#pragma once

#include "host/controls/ControlBase.h"

#include <QGroupBox>

namespace sarvo::controls {

class QzFrame : public QGroupBox, public ControlBase {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit QzFrame(QWidget* parent = nullptr);

    QString Caption() const;
    void SetCaption(const QString& caption);
};

} // namespace sarvo::controls
