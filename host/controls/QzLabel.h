// Label of the control set: plain-text caption, shown and repainted on demand (the
// "please wait" note while the account editor loads).
#pragma once

#include "host/controls/ControlBase.h"

#include <QLabel>

namespace sarvo::controls {

class QzLabel : public QLabel, public ControlBase {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit QzLabel(QWidget* parent = nullptr);

    QString Caption() const;
    void SetCaption(const QString& caption);
    void Refresh(); // repaint now, before a long operation blocks the event loop
};

} // namespace sarvo::controls
