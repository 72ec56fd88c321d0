// Form timer over QTimer.
#include "host/controls/FormTimer.h"

#include "host/controls/ControlBase.h"

namespace sarvo::controls {

FormTimer::FormTimer(QObject* parent) : QObject(parent) {
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FormTimer::Timer);
}

void FormTimer::SetInterval(int milliseconds) {
    if (milliseconds < 0)
        ControlBase::raiseInvalidPropertyValue(QStringLiteral("interval %1").arg(milliseconds));
    m_interval = milliseconds;
    m_timer.stop();
    update();
}

void FormTimer::SetEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    update();
}

void FormTimer::update() {
    if (m_enabled && m_interval > 0) {
        if (!m_timer.isActive()) m_timer.start(m_interval);
    } else {
        m_timer.stop();
    }
}

} // namespace sarvo::controls
