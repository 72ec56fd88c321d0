// Text box of the control set (the quick-filter box).
// The design-time list of refused characters: by default the seven characters < > ' " | & ,
// never enter the box, whether typed, pasted, dropped or assigned to Text; the rest of the
// input is kept. So an apostrophe typed into the filter can never reach a SQL statement.
// Change is raised on every change of the text, typed or assigned, and only when the text
// actually changed (a refused key press changes nothing and raises nothing).
#pragma once

#include "host/controls/ControlBase.h"

#include <QLineEdit>

namespace sarvo::controls {

class RefusedCharacterValidator;

class QzEdit : public QLineEdit, public ControlBase {
    Q_OBJECT

public:
    static const QString kDefaultRefusedCharacters; // < > ' " | & ,

    explicit QzEdit(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);
    QString RefusedCharacters() const;
    void SetRefusedCharacters(const QString& characters);

signals:
    void Change();

private:
    void onTextChanged(const QString& text);

    RefusedCharacterValidator* m_validator;
    QString m_lastText;
};

} // namespace sarvo::controls
