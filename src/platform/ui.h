#pragma once

#include "platform/colour.h"
#include "platform/window_event.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vz {

enum class ControlKind { Label, DropList, CheckBox, TextBox, PushButton, ReportList };

// Window style bits (Win32 values, so the layouts can be read side by side
// with the terminal's own documentation).
inline constexpr std::uint32_t WINDOW_POPUP = 0x80000000U;
inline constexpr std::uint32_t WINDOW_VISIBLE = 0x10000000U;
inline constexpr std::uint32_t WINDOW_CLIP_CHILDREN = 0x02000000U;
inline constexpr std::uint32_t WINDOW_TITLE_BAR = 0x00C00000U;
inline constexpr std::uint32_t WINDOW_SYSTEM_MENU = 0x00080000U;
inline constexpr std::uint32_t WINDOW_MINIMISE_BOX = 0x00020000U;

// Control styles used by the three windows.
inline constexpr std::uint32_t STYLE_LABEL = 0x5000010BU;
inline constexpr std::uint32_t STYLE_DROP_LIST = 0x50A00603U;
inline constexpr std::uint32_t STYLE_CHECK_BOX = 0x50000003U;
inline constexpr std::uint32_t STYLE_TEXT_READ_ONLY_CENTRED = 0x50800801U;
inline constexpr std::uint32_t STYLE_TEXT_CENTRED = 0x50800001U;
inline constexpr std::uint32_t STYLE_TEXT_PLAIN = 0x50800000U;
inline constexpr std::uint32_t STYLE_PUSH_BUTTON = 0x50000000U;
inline constexpr std::uint32_t STYLE_DEFAULT_BUTTON = 0x50000001U;
inline constexpr std::uint32_t STYLE_REPORT = 0x50000001U;
inline constexpr std::uint32_t EDIT_CENTRED_BIT = 0x0001U;
inline constexpr std::uint32_t EDIT_READ_ONLY_BIT = 0x0800U;
inline constexpr std::uint32_t BUTTON_DEFAULT_BIT = 0x0001U;

// Menu item flags.
inline constexpr std::uint32_t MENU_GREYED = 1U;
inline constexpr std::uint32_t MENU_CHECKED = 8U;
inline constexpr std::uint32_t MENU_POPUP = 16U;
inline constexpr std::uint32_t MENU_SEPARATOR = 2048U;

// Message box styles and answers.
inline constexpr int MB_DEFAULT = 0; // shown like MB_EXCLAMATION
inline constexpr int MB_ERROR = 16;
inline constexpr int MB_QUESTION_YES_NO = 36;
inline constexpr int MB_EXCLAMATION = 48;
inline constexpr int MB_INFORMATION = 64;
inline constexpr int ANSWER_OK = 1;
inline constexpr int ANSWER_YES = 6;
inline constexpr int ANSWER_NO = 7;

enum class ShowCommand { Hide = 0, Show = 5 };

// Every window, control, drawing, menu, dialog, sound, timer and event-loop
// operation the program uses. Operations on an unknown window or control do
// nothing and return the empty result (0, -1 or "").
class Ui {
public:
    Ui() = default;
    Ui(const Ui&) = delete;
    Ui& operator=(const Ui&) = delete;
    Ui(Ui&&) = delete;
    Ui& operator=(Ui&&) = delete;
    virtual ~Ui() = default;

    // False only for a headless run whose windows nobody will ever look at
    // (the replay). The program may then leave out what it would only show
    // (slot boxes, figures, arrows, status lines): it never reads them back.
    virtual bool isWatched() const { return true; }

    // Windows. Sizes are outer sizes; positions of controls and drawings are
    // client pixels.
    virtual WindowHandle openWindow(int x, int y, int width, int height, std::uint32_t style,
                                    std::string_view caption, EventHandler handler) = 0;
    virtual void centreWindow(WindowHandle window) = 0;
    virtual void showWindow(WindowHandle window, ShowCommand command, int controlId = 0) = 0;
    virtual void closeWindow(WindowHandle window) = 0;
    virtual void setWindowBackground(WindowHandle window, Colour colour) = 0;

    // Controls.
    virtual void createControl(WindowHandle window, ControlKind kind, std::string_view caption,
                               int x, int y, int width, int height, std::uint32_t style,
                               int id) = 0;
    virtual void setControlText(WindowHandle window, int id, std::string_view text) = 0;
    virtual std::string getControlText(WindowHandle window, int id) = 0;
    virtual void enableControl(WindowHandle window, int id, bool enabled) = 0;
    // id 0 sets the window's drawing font.
    virtual void setControlFont(WindowHandle window, std::string_view face, int points, int weight,
                                int id) = 0;
    virtual void setControlColours(WindowHandle window, int id, Colour text, Colour background) = 0;
    virtual void setChecked(WindowHandle window, int id, bool checked) = 0;
    virtual bool isChecked(WindowHandle window, int id) = 0;
    virtual void addListItem(WindowHandle window, int id, std::string_view text) = 0;
    virtual void removeListItem(WindowHandle window, int id, int index) = 0;
    virtual int getListSelection(WindowHandle window, int id) = 0;

    // Report list.
    virtual void reportAddColumn(WindowHandle window, int id, int column,
                                 std::string_view caption) = 0;
    virtual void reportSetColumnWidth(WindowHandle window, int id, int column, int width) = 0;
    virtual void reportInsertRow(WindowHandle window, int id, int row, std::string_view text) = 0;
    virtual void reportSetCell(WindowHandle window, int id, int row, int column,
                               std::string_view text) = 0;
    virtual std::string reportGetCell(WindowHandle window, int id, int row, int column) = 0;
    virtual int reportRowCount(WindowHandle window, int id) = 0;
    virtual void reportClear(WindowHandle window, int id) = 0;

    // Drawing on the window's persistent canvas.
    virtual void setDrawColour(WindowHandle window, Colour colour) = 0;
    virtual void setTextBackground(WindowHandle window, Colour colour) = 0;
    virtual void moveTo(WindowHandle window, int x, int y) = 0;
    // Draws from the current position up to, but excluding, (x, y).
    virtual void lineTo(WindowHandle window, int x, int y, Colour colour) = 0;
    void drawLine(WindowHandle window, int x1, int y1, int x2, int y2, Colour colour) {
        moveTo(window, x1, y1);
        lineTo(window, x2, y2, colour);
    }
    // fill NO_FILL leaves the inside untouched.
    virtual void drawRect(WindowHandle window, int left, int top, int width, int height,
                          Colour border, Colour fill) = 0;
    // Opaque text at the current position; the position advances past it.
    virtual void printText(WindowHandle window, std::string_view text) = 0;

    // Menus.
    virtual MenuHandle makeMenu() = 0;
    virtual void appendMenuItem(MenuHandle menu, std::string_view caption, std::uint32_t flags,
                                int menuId, MenuHandle subMenu = {}) = 0;
    virtual void setMenuBar(WindowHandle window, MenuHandle menu) = 0;
    virtual void checkMenuItem(WindowHandle window, int menuId, bool checked) = 0;

    // Dialogs, sound, timers and the event loop.
    // Returns the chosen path, or "" when cancelled.
    virtual std::string chooseFile(std::string_view title, WindowHandle owner, bool open,
                                   std::string_view filter, std::string_view defaultExtension,
                                   std::uint32_t flags, std::string_view initialFolder) = 0;
    // Asynchronous; a missing file plays nothing, an empty path stops playback.
    virtual void playWave(std::string_view path) = 0;
    // False when the file cannot be played (missing, not a wave file, or in
    // an encoding the backend cannot decode), so the program can tell the
    // user before an alert goes unheard. Only looks; plays nothing.
    virtual bool canPlayWave(std::string_view path) = 0;
    virtual void startTimer(WindowHandle window, int periodMs, int timerId) = 0;
    virtual void stopTimer(WindowHandle window, int timerId) = 0;
    // Blocks until at least one event is pending (the toolkit's own included),
    // then dispatches every pending program event; it may return having
    // dispatched none, so callers re-test their running flag after each call.
    virtual void waitEvents() = 0;
    // Modal; returns ANSWER_OK, ANSWER_YES or ANSWER_NO.
    virtual int messageBox(WindowHandle owner, std::string_view text, std::string_view caption,
                           int style) = 0;
};

} // namespace vz
