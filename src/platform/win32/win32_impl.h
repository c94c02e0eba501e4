#pragma once

// The records behind Win32Ui, shared by its files (one per concern:
// windows and the event loop, controls, the canvas, menus and dialogs).

#include "platform/win32/win32_ui.h"

#include <deque>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>

namespace vz {

struct Win32Control {
    ControlKind kind = ControlKind::Label;
    HWND hwnd = nullptr;
    // A drop list's own list window, which asks for colours too.
    HWND listHwnd = nullptr;
    bool coloured = false;
    Colour text = BLACK;
    Colour background = WHITE;
    // The drop list selection the handlers last saw, so a repeated pick of
    // the same item stays silent and a dropped pick can be taken back.
    int shownSelection = -1;
};

// A top-down 32-bit bitmap in a memory DC: the pixels stay until drawn over,
// and WM_PAINT copies them to the screen.
struct Win32Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ originalBitmap = nullptr;
    HGDIOBJ originalPen = nullptr;
    HGDIOBJ originalFont = nullptr;
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    HPEN pen = nullptr;
    Colour penColour = BLACK;
    Colour drawColour = BLACK;
    Colour textBackground = WHITE;
    // The area last printed from each start point: values printed in place
    // with a proportional font, where trailing blanks are narrower than the
    // digits they follow, must still cover a longer earlier value.
    std::map<std::pair<int, int>, SIZE> printedAreas;
};

struct Win32Window {
    Win32Ui::Impl* owner = nullptr;
    WindowHandle handle;
    HWND hwnd = nullptr;
    EventHandler handler;
    std::map<int, Win32Control> controls;
    std::set<int> timers;
    Win32Canvas canvas;
    MenuHandle menu;
};

// An event waiting for its handler, with the control's state before the
// user acted, restored if the event is dropped.
struct QueuedEvent {
    WindowEvent event;
    int before = -1;
};

struct Win32Ui::Impl {
    HINSTANCE instance = nullptr;
    std::map<int, std::unique_ptr<Win32Window>> windows;
    int nextWindowId = 1;
    std::map<int, HMENU> menus;
    std::set<int> attachedMenus;
    int nextMenuId = 1;
    std::deque<QueuedEvent> queue;
    bool dispatching = false;
    std::map<Colour, HBRUSH> brushes;
    std::map<std::tuple<std::string, int, int>, HFONT> fonts;

    Win32Window* find(WindowHandle handle) const;
    Win32Control* findControl(WindowHandle handle, int id) const;
    HMENU menu(MenuHandle handle) const;
    HBRUSH brush(Colour colour);
    HFONT font(const std::string& face, int points, int weight);

    void post(const QueuedEvent& queued);
    void dispatch();
    bool sourceStillLive(const Win32Window& window, const QueuedEvent& queued) const;
    void restoreDropped(const Win32Window& window, const QueuedEvent& queued) const;

    // Window procedure work, by concern.
    LRESULT handleMessage(Win32Window& window, UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(Win32Window& window, WPARAM wParam, LPARAM lParam);
    LRESULT colourReply(Win32Window& window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(Win32Window& window) const;
};

COLORREF toColorref(Colour colour);
Colour fromColorref(COLORREF value);
std::string nulTerminated(std::string_view text);
// The owner of a dialog: the window when it is shown, else none (a hidden
// owner would place the dialog over nothing).
HWND dialogOwner(const Win32Ui::Impl& impl, WindowHandle owner);

// The canvas of a new window, filled with the system window colour.
bool createCanvas(Win32Canvas& canvas, int width, int height);
void destroyCanvas(Win32Canvas& canvas);
void fillCanvas(Win32Canvas& canvas, HBRUSH brush);

} // namespace vz
