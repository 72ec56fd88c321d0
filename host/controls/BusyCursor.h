// The wait cursor for work done on the UI thread: begin() when the work starts, tick() now and
// then while it runs, end() when it is done. The cursor shows at the first tick after the work
// has taken longer than a frame, so quick work never makes it flicker, and goes when the work
// ends. Nested begin/end pairs count as one piece of work.
#pragma once

#include <QElapsedTimer>

namespace sarvo::controls {

class BusyCursor {
public:
    static constexpr int kDefaultDelayMs = 16;

    ~BusyCursor();

    void begin();
    void tick();
    void end();

    bool busy() const { return m_depth > 0; }
    bool showing() const { return m_showing; }
    int delayMs() const { return m_delayMs; }
    void setDelayMs(int ms) { m_delayMs = ms; }

private:
    QElapsedTimer m_clock;
    int m_depth = 0;
    int m_delayMs = kDefaultDelayMs;
    bool m_showing = false;
};

} // namespace sarvo::controls
