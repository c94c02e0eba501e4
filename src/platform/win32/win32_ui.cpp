#include "platform/win32/win32_ui.h"

#include "platform/win32/win32_impl.h"

#include <algorithm>
#include <commctrl.h>

namespace vz {

namespace {

const char* const WINDOW_CLASS = "VurezerWindow";

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* window = static_cast<Win32Window*>(create->lpCreateParams);
        window->hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (window == nullptr || window->owner == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return window->owner->handleMessage(*window, message, wParam, lParam);
}

void registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    windowClass.lpszClassName = WINDOW_CLASS;
    RegisterClassExA(&windowClass);
}

} // namespace

COLORREF toColorref(Colour colour) {
    return RGB(redOf(colour), greenOf(colour), blueOf(colour));
}

Colour fromColorref(COLORREF value) {
    return rgb(GetRValue(value), GetGValue(value), GetBValue(value));
}

std::string nulTerminated(std::string_view text) {
    return std::string(text);
}

HWND dialogOwner(const Win32Ui::Impl& impl, WindowHandle owner) {
    const Win32Window* window = impl.find(owner);
    return window != nullptr && IsWindowVisible(window->hwnd) != 0 ? window->hwnd : nullptr;
}

Win32Window* Win32Ui::Impl::find(WindowHandle handle) const {
    const auto found = windows.find(handle.id);
    return found == windows.end() ? nullptr : found->second.get();
}

Win32Control* Win32Ui::Impl::findControl(WindowHandle handle, int id) const {
    Win32Window* window = find(handle);
    if (window == nullptr) {
        return nullptr;
    }
    const auto found = window->controls.find(id);
    return found == window->controls.end() ? nullptr : &found->second;
}

HBRUSH Win32Ui::Impl::brush(Colour colour) {
    HBRUSH& cached = brushes[colour];
    if (cached == nullptr) {
        cached = CreateSolidBrush(toColorref(colour));
    }
    return cached;
}

void Win32Ui::Impl::post(const QueuedEvent& queued) {
    const WindowEvent& event = queued.event;
    // As the system does with WM_TIMER, a tick still waiting absorbs the
    // next one, so a long modal box leaves one tick, not a pile.
    if (event.code == WindowEventCode::Timer) {
        const bool waiting = std::any_of(queue.begin(), queue.end(), [&](const auto& other) {
            return other.event.code == WindowEventCode::Timer &&
                   other.event.window == event.window && other.event.timerId == event.timerId;
        });
        if (waiting) {
            return;
        }
    }
    queue.push_back(queued);
}

// An earlier handler of the same batch may have disabled or hidden the
// source of a later event, which then must not act.
bool Win32Ui::Impl::sourceStillLive(const Win32Window& window, const QueuedEvent& queued) const {
    const WindowEvent& event = queued.event;
    if (event.code == WindowEventCode::ControlEvent) {
        const Win32Control* control = findControl(window.handle, event.controlId);
        // IsWindowVisible looks at the parent too: a hidden window's
        // controls take no input.
        return control != nullptr && IsWindowEnabled(control->hwnd) != 0 &&
               IsWindowVisible(control->hwnd) != 0;
    }
    if (event.code == WindowEventCode::MenuPick) {
        const UINT state =
            GetMenuState(GetMenu(window.hwnd), static_cast<UINT>(event.menuId), MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
    }
    if (event.code == WindowEventCode::Timer) {
        return window.timers.count(event.timerId) != 0;
    }
    return true;
}

// A check box toggled itself and a drop list moved before the event was
// queued; a dropped event puts the control back as the handlers last saw it.
void Win32Ui::Impl::restoreDropped(const Win32Window& window, const QueuedEvent& queued) const {
    if (queued.event.code != WindowEventCode::ControlEvent) {
        return;
    }
    Win32Control* control = findControl(window.handle, queued.event.controlId);
    if (control == nullptr) {
        return;
    }
    if (control->kind == ControlKind::CheckBox) {
        SendMessageA(control->hwnd, BM_SETCHECK, queued.before != 0 ? BST_CHECKED : BST_UNCHECKED,
                     0);
    } else if (control->kind == ControlKind::DropList) {
        SendMessageA(control->hwnd, CB_SETCURSEL, static_cast<WPARAM>(queued.before), 0);
        control->shownSelection = queued.before;
    }
}

void Win32Ui::Impl::dispatch() {
    if (dispatching) {
        return;
    }
    dispatching = true;
    while (!queue.empty()) {
        const QueuedEvent queued = queue.front();
        queue.pop_front();
        const Win32Window* window = find(queued.event.window);
        if (window == nullptr || !window->handler) {
            continue;
        }
        if (!sourceStillLive(*window, queued)) {
            restoreDropped(*window, queued);
            continue;
        }
        // A copy, so a handler that closes its own window stays alive.
        const EventHandler handler = window->handler;
        handler(queued.event);
    }
    dispatching = false;
}

LRESULT Win32Ui::Impl::handleMessage(Win32Window& window, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the canvas covers the whole client area
    case WM_CLOSE:
        // The handler decides: the platform closes nothing.
        post({{WindowEventCode::CloseRequest, window.handle, 0, 0, 0, 0}});
        return 0;
    case WM_TIMER:
        if (window.timers.count(static_cast<int>(wParam)) != 0) {
            post({{WindowEventCode::Timer, window.handle, 0, 0, 0, static_cast<int>(wParam)}});
        }
        return 0;
    case WM_COMMAND:
        onCommand(window, wParam, lParam);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        return colourReply(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window.hwnd, message, wParam, lParam);
    }
}

void Win32Ui::Impl::paint(Win32Window& window) const {
    PAINTSTRUCT paint{};
    HDC screen = BeginPaint(window.hwnd, &paint);
    const RECT& area = paint.rcPaint;
    BitBlt(screen, area.left, area.top, area.right - area.left, area.bottom - area.top,
           window.canvas.dc, area.left, area.top, SRCCOPY);
    EndPaint(window.hwnd, &paint);
}

Win32Ui::Win32Ui() : impl_(std::make_unique<Impl>()) {
    impl_->instance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    registerWindowClass(impl_->instance);
}

Win32Ui::~Win32Ui() {
    std::vector<int> open;
    for (const auto& [id, window] : impl_->windows) {
        open.push_back(id);
    }
    for (const int id : open) {
        closeWindow(WindowHandle{id});
    }
    for (const auto& [id, menu] : impl_->menus) {
        if (impl_->attachedMenus.count(id) == 0) {
            DestroyMenu(menu);
        }
    }
    for (const auto& [colour, brush] : impl_->brushes) {
        DeleteObject(brush);
    }
    for (const auto& [key, font] : impl_->fonts) {
        DeleteObject(font);
    }
    UnregisterClassA(WINDOW_CLASS, impl_->instance);
}

WindowHandle Win32Ui::openWindow(int x, int y, int width, int height, std::uint32_t style,
                                 std::string_view caption, EventHandler handler) {
    auto window = std::make_unique<Win32Window>();
    window->owner = impl_.get();
    window->handle = WindowHandle{impl_->nextWindowId++};
    window->handler = std::move(handler);
    // One pixel larger than the window each way.
    if (!createCanvas(window->canvas, std::max(width, 0) + 1, std::max(height, 0) + 1)) {
        return {};
    }
    fillCanvas(window->canvas, GetSysColorBrush(COLOR_WINDOW));
    const std::string title = nulTerminated(caption);
    HWND hwnd = CreateWindowExA(0, WINDOW_CLASS, title.c_str(), style, x, y, width, height, nullptr,
                                nullptr, impl_->instance, window.get());
    if (hwnd == nullptr) {
        destroyCanvas(window->canvas);
        return {};
    }
    const WindowHandle handle = window->handle;
    impl_->windows[handle.id] = std::move(window);
    return handle;
}

void Win32Ui::centreWindow(WindowHandle handle) {
    const Win32Window* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT outer{};
    GetWindowRect(window->hwnd, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    left = std::max<int>(area.left, std::min<int>(left, area.right - width));
    top = std::max<int>(area.top, std::min<int>(top, area.bottom - height));
    SetWindowPos(window->hwnd, nullptr, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Ui::showWindow(WindowHandle handle, ShowCommand command, int controlId) {
    const Win32Window* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    const int show = command == ShowCommand::Show ? SW_SHOW : SW_HIDE;
    if (controlId != 0) {
        if (const Win32Control* control = impl_->findControl(handle, controlId)) {
            ShowWindow(control->hwnd, show);
        }
        return;
    }
    if (show == SW_HIDE) {
        ShowWindow(window->hwnd, SW_HIDE);
        return;
    }
    // On top of the program's other windows, frame and controls repainted.
    SetWindowPos(window->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window->hwnd);
    RedrawWindow(window->hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32Ui::closeWindow(WindowHandle handle) {
    const auto found = impl_->windows.find(handle.id);
    if (found == impl_->windows.end()) {
        return;
    }
    Win32Window& window = *found->second;
    for (const int timer : window.timers) {
        KillTimer(window.hwnd, static_cast<UINT_PTR>(timer));
    }
    // The menu bar goes with the window.
    if (window.menu) {
        impl_->menus.erase(window.menu.id);
        impl_->attachedMenus.erase(window.menu.id);
    }
    window.owner = nullptr; // messages sent while it is destroyed go to the default
    DestroyWindow(window.hwnd);
    destroyCanvas(window.canvas);
    std::erase_if(impl_->queue,
                  [&](const QueuedEvent& queued) { return queued.event.window == handle; });
    impl_->windows.erase(found);
}

void Win32Ui::startTimer(WindowHandle handle, int periodMs, int timerId) {
    Win32Window* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    SetTimer(window->hwnd, static_cast<UINT_PTR>(timerId),
             static_cast<UINT>(std::max<int>(periodMs, USER_TIMER_MINIMUM)), nullptr);
    window->timers.insert(timerId);
}

void Win32Ui::stopTimer(WindowHandle handle, int timerId) {
    Win32Window* window = impl_->find(handle);
    if (window == nullptr || window->timers.erase(timerId) == 0) {
        return;
    }
    KillTimer(window->hwnd, static_cast<UINT_PTR>(timerId));
    std::erase_if(impl_->queue, [&](const QueuedEvent& queued) {
        return queued.event.code == WindowEventCode::Timer && queued.event.window == handle &&
               queued.event.timerId == timerId;
    });
}

// Returns after one round even when no program event came, so the caller's
// loop sees a run that ended without the user acting.
void Win32Ui::waitEvents() {
    if (impl_->queue.empty()) {
        WaitMessage();
    }
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    impl_->dispatch();
}

HWND Win32Ui::windowHwnd(WindowHandle handle) const {
    const Win32Window* window = impl_->find(handle);
    return window == nullptr ? nullptr : window->hwnd;
}

HWND Win32Ui::controlHwnd(WindowHandle handle, int id) const {
    const Win32Control* control = impl_->findControl(handle, id);
    return control == nullptr ? nullptr : control->hwnd;
}

std::size_t Win32Ui::pendingEvents() const {
    return impl_->queue.size();
}

void Win32Ui::dispatchPending() {
    impl_->dispatch();
}

} // namespace vz
