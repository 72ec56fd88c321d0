// Frame of the control set: a captioned group box. Controls created with the frame as parent
// are placed in twips relative to the frame's top-left corner. The caption sits on the top
// border line, so the border runs half a caption height below the frame's top edge and the
// designed controls lie inside it (a plain group box would draw its border below the caption).
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

    // The rectangle the border is drawn on, in the frame's pixels.
    QRect borderRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace sarvo::controls
