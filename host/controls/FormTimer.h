// The form's timer: raises Timer every Interval milliseconds while Enabled. An interval of 0
// raises nothing. Changing the interval of a running timer starts the count again.
#pragma once

#include <QObject>
#include <QTimer>

namespace sarvo::controls {

class FormTimer : public QObject {
    Q_OBJECT

public:
    explicit FormTimer(QObject* parent = nullptr);

    int Interval() const { return m_interval; }
    void SetInterval(int milliseconds); // negative: 380
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

signals:
    void Timer();

private:
    void update();

    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = false;
};

} // namespace sarvo::controls
