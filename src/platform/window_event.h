#pragma once

#include <cstdint>
#include <functional>

namespace vz {

// Identifies one top-level window; id 0 is the empty handle.
struct WindowHandle {
    int id = 0;
    explicit operator bool() const { return id != 0; }
    friend bool operator==(WindowHandle, WindowHandle) = default;
};

struct MenuHandle {
    int id = 0;
    explicit operator bool() const { return id != 0; }
    friend bool operator==(MenuHandle, MenuHandle) = default;
};

// The numeric values are shared with logs and scripts, so they are fixed.
enum class WindowEventCode : std::int32_t {
    Timer = 275,
    CloseRequest = 32770,
    MenuPick = 32771,
    ControlEvent = 32772,
};

inline constexpr int NOTIFY_CLICKED = 0;
inline constexpr int NOTIFY_SELECTION_CHANGED = 1;

struct WindowEvent {
    WindowEventCode code = WindowEventCode::Timer;
    WindowHandle window;
    int menuId = 0;
    int controlId = 0;
    int notifyCode = 0;
    int timerId = 0;
};

using EventHandler = std::function<void(const WindowEvent&)>;

} // namespace vz
