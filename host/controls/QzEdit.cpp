// Text box over QLineEdit with a refused-character list.
#include "host/controls/QzEdit.h"

#include "host/controls/RefusedCharacterValidator.h"

namespace sarvo::controls {

const QString QzEdit::kDefaultRefusedCharacters = QStringLiteral("<>'\"|&,");

QzEdit::QzEdit(QWidget* parent)
    : QLineEdit(parent), ControlBase(this),
      m_validator(new RefusedCharacterValidator(kDefaultRefusedCharacters, this)) {
    setValidator(m_validator);
    connect(this, &QLineEdit::textChanged, this, &QzEdit::onTextChanged);
}

QString QzEdit::Text() const {
    return text();
}

void QzEdit::SetText(const QString& text) {
    setText(m_validator->strip(text));
}

QString QzEdit::RefusedCharacters() const {
    return m_validator->refused();
}

void QzEdit::SetRefusedCharacters(const QString& characters) {
    m_validator->setRefused(characters);
    const QString kept = m_validator->strip(text());
    if (kept != text()) setText(kept);
}

void QzEdit::onTextChanged(const QString& text) {
    // A refused key press makes the line edit report its unchanged text once more.
    if (text == m_lastText) return;
    m_lastText = text;
    emit Change();
}

} // namespace sarvo::controls
