// Window handles of the control set: a 32-bit number per control that needs one, so services
// that only get a number (the style service) can find the widget. The registry is per thread,
// like the controls themselves; the numbers are unique in the process.
#pragma once

#include <cstdint>

class QWidget;

namespace sarvo::controls {

class WindowHandles {
public:
    static int32_t add(QWidget* widget);
    static void remove(int32_t handle);
    // The widget of a handle registered on this thread; null for an unknown or stale handle.
    static QWidget* find(int32_t handle);
};

} // namespace sarvo::controls
