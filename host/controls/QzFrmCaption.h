// Caption manager of a form: an invisible control that holds the form's caption and caption
// font. Setting the caption also titles the form's window.
#pragma once

#include "host/controls/ControlBase.h"

#include <QWidget>

namespace sarvo::controls {

class QzFrmCaption : public QWidget, public ControlBase {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit QzFrmCaption(QWidget* form);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

private:
    QString m_caption;
};

} // namespace sarvo::controls
