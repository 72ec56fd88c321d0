// Invisible caption manager.
#include "host/controls/QzFrmCaption.h"

namespace sarvo::controls {

QzFrmCaption::QzFrmCaption(QWidget* form) : QWidget(form), ControlBase(this) {
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void QzFrmCaption::SetCaption(const QString& caption) {
    m_caption = caption;
    if (QWidget* form = parentWidget()) form->window()->setWindowTitle(caption);
}

} // namespace sarvo::controls
