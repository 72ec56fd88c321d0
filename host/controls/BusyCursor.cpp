// Wait cursor shown once UI-thread work outlasts a frame.
#include "host/controls/BusyCursor.h"

#include <QApplication>

namespace sarvo::controls {

BusyCursor::~BusyCursor() {
    if (m_showing) QApplication::restoreOverrideCursor();
}

void BusyCursor::begin() {
    if (m_depth++ == 0) m_clock.start();
}

void BusyCursor::tick() {
    if (m_depth == 0 || m_showing || m_clock.elapsed() < m_delayMs) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_showing = true;
}

void BusyCursor::end() {
    if (m_depth == 0 || --m_depth > 0) return;
    if (m_showing) {
        QApplication::restoreOverrideCursor();
        m_showing = false;
    }
}

} // namespace sarvo::controls
