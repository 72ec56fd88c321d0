// Per-thread registry of window handles.
#include "host/controls/WindowHandles.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <atomic>

namespace sarvo::controls {

namespace {
// Handles start high and step by four so they never look like small counts or booleans.
std::atomic<int32_t> g_nextHandle{0x00010010};

QHash<int32_t, QPointer<QWidget>>& registry() {
    thread_local QHash<int32_t, QPointer<QWidget>> handles;
    return handles;
}
} // namespace

int32_t WindowHandles::add(QWidget* widget) {
    const int32_t handle = g_nextHandle.fetch_add(4);
    registry().insert(handle, widget);
    return handle;
}

void WindowHandles::remove(int32_t handle) {
    registry().remove(handle);
}

QWidget* WindowHandles::find(int32_t handle) {
    return registry().value(handle).data();
}

} // namespace sarvo::controls
