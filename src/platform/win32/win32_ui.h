#pragma once

#include "platform/ui.h"

#include <cstddef>
#include <memory>
#include <windows.h>

namespace vz {

// The Win32 API behind the program's window operations: user32 windows and
// controls, a gdi32 memory bitmap per window as its canvas, comctl32's list
// view, comdlg32's file requester and winmm's PlaySoundA. Everything runs on
// the thread that created it.
//
// Window procedures only queue WindowEvents; waitEvents hands them to the
// window handlers one at a time, so a handler is never re-entered, even while
// a modal box it raised runs its own message loop.
class Win32Ui final : public Ui {
public:
    Win32Ui();
    ~Win32Ui() override;

    // --- Ui ---
    WindowHandle openWindow(int x, int y, int width, int height, std::uint32_t style,
                            std::string_view caption, EventHandler handler) override;
    void centreWindow(WindowHandle window) override;
    void showWindow(WindowHandle window, ShowCommand command, int controlId = 0) override;
    void closeWindow(WindowHandle window) override;
    void setWindowBackground(WindowHandle window, Colour colour) override;
    void createControl(WindowHandle window, ControlKind kind, std::string_view caption, int x,
                       int y, int width, int height, std::uint32_t style, int id) override;
    void setControlText(WindowHandle window, int id, std::string_view text) override;
    std::string getControlText(WindowHandle window, int id) override;
    void enableControl(WindowHandle window, int id, bool enabled) override;
    void setControlFont(WindowHandle window, std::string_view face, int points, int weight,
                        int id) override;
    void setControlColours(WindowHandle window, int id, Colour text, Colour background) override;
    void setChecked(WindowHandle window, int id, bool checked) override;
    bool isChecked(WindowHandle window, int id) override;
    void addListItem(WindowHandle window, int id, std::string_view text) override;
    void removeListItem(WindowHandle window, int id, int index) override;
    int getListSelection(WindowHandle window, int id) override;
    void reportAddColumn(WindowHandle window, int id, int column,
                         std::string_view caption) override;
    void reportSetColumnWidth(WindowHandle window, int id, int column, int width) override;
    void reportInsertRow(WindowHandle window, int id, int row, std::string_view text) override;
    void reportSetCell(WindowHandle window, int id, int row, int column,
                       std::string_view text) override;
    std::string reportGetCell(WindowHandle window, int id, int row, int column) override;
    int reportRowCount(WindowHandle window, int id) override;
    void reportClear(WindowHandle window, int id) override;
    void setDrawColour(WindowHandle window, Colour colour) override;
    void setTextBackground(WindowHandle window, Colour colour) override;
    void moveTo(WindowHandle window, int x, int y) override;
    void lineTo(WindowHandle window, int x, int y, Colour colour) override;
    void drawRect(WindowHandle window, int left, int top, int width, int height, Colour border,
                  Colour fill) override;
    void printText(WindowHandle window, std::string_view text) override;
    MenuHandle makeMenu() override;
    void appendMenuItem(MenuHandle menu, std::string_view caption, std::uint32_t flags, int menuId,
                        MenuHandle subMenu = {}) override;
    void setMenuBar(WindowHandle window, MenuHandle menu) override;
    void checkMenuItem(WindowHandle window, int menuId, bool checked) override;
    std::string chooseFile(std::string_view title, WindowHandle owner, bool open,
                           std::string_view filter, std::string_view defaultExtension,
                           std::uint32_t flags, std::string_view initialFolder) override;
    void playWave(std::string_view path) override;
    bool canPlayWave(std::string_view path) override;
    void startTimer(WindowHandle window, int periodMs, int timerId) override;
    void stopTimer(WindowHandle window, int timerId) override;
    void waitEvents() override;
    int messageBox(WindowHandle owner, std::string_view text, std::string_view caption,
                   int style) override;

    // --- inspection, for tests and tools ---
    // nullptr for an unknown or closed window or control.
    HWND windowHwnd(WindowHandle window) const;
    HWND controlHwnd(WindowHandle window, int id) const;
    // The canvas pixel as a Colour, NO_FILL outside the canvas.
    Colour canvasPixel(WindowHandle window, int x, int y) const;
    std::size_t pendingEvents() const;
    // Hands every queued event to its handler without waiting.
    void dispatchPending();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace vz
