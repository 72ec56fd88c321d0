// Keeps a set of characters out of what the user puts into a line edit: typed, pasted, dropped or
// committed by an input method. Only the characters an edit inserts are looked at; text that was
// already in the box (assigned by the program) stays as it is. The rest of the input is kept and
// the cursor stays after what was inserted.
#pragma once

#include <QValidator>
#include <functional>

namespace sarvo::controls {

class RefusedCharacterValidator : public QValidator {
    Q_OBJECT

public:
    explicit RefusedCharacterValidator(QString refused, QObject* parent = nullptr);

    const QString& refused() const { return m_refused; }
    void setRefused(const QString& refused) { m_refused = refused; }
    QString strip(const QString& text) const;

    // The text before the edit being validated (what the box last showed).
    void setBaseline(std::function<QString()> baseline) { m_baseline = std::move(baseline); }
    // Told the characters an edit lost, in the order they were given.
    void setOnRefused(std::function<void(const QString&)> onRefused) { m_onRefused = std::move(onRefused); }
    // While set, every text is accepted unchanged (an assignment in code).
    void setPassThrough(bool passThrough) { m_passThrough = passThrough; }

    State validate(QString& input, int& pos) const override;

private:
    QString m_refused;
    std::function<QString()> m_baseline;
    std::function<void(const QString&)> m_onRefused;
    bool m_passThrough = false;
};

} // namespace sarvo::controls
