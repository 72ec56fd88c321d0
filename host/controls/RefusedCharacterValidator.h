// Keeps a set of characters out of a line edit, whichever way they come: typed, pasted, dropped
// or assigned. The rest of the input is kept; the cursor stays after what was inserted.
#pragma once

#include <QValidator>

namespace sarvo::controls {

class RefusedCharacterValidator : public QValidator {
    Q_OBJECT

public:
    explicit RefusedCharacterValidator(QString refused, QObject* parent = nullptr);

    const QString& refused() const { return m_refused; }
    void setRefused(const QString& refused) { m_refused = refused; }
    QString strip(const QString& text) const;

    State validate(QString& input, int& pos) const override;

private:
    QString m_refused;
};

} // namespace sarvo::controls
