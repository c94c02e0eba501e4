#pragma once

#include "platform/ui.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace vz {

// Text a window's canvas received, in drawing order.
struct DrawnText {
    int x = 0;
    int y = 0;
    std::string text;
    Colour colour = BLACK;
    Colour background = WHITE;
};

struct ControlState {
    ControlKind kind = ControlKind::Label;
    int id = 0;
    std::string text;
    int x = 0, y = 0, width = 0, height = 0;
    std::uint32_t style = 0;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    std::optional<Colour> textColour;
    std::optional<Colour> backgroundColour;
    std::string fontFace;
    int fontPoints = 0;
    int fontWeight = 0;
    std::vector<std::string> items; // drop-down list items
    int selection = -1;
    std::vector<std::string> columns; // report list captions
    std::vector<int> columnWidths;
    std::vector<std::vector<std::string>> rows; // report list cells
};

struct MenuItemState {
    std::string caption;
    std::uint32_t flags = 0;
    int menuId = 0;
    MenuHandle subMenu;
    bool checked = false;
    bool greyed = false;
    bool separator = false;
};

struct MessageBoxRecord {
    WindowHandle owner;
    std::string text;
    std::string caption;
    int style = 0;
    int answer = 0;
};

struct FileRequestRecord {
    std::string title;
    WindowHandle owner;
    bool open = true;
    std::string filter;
    std::string defaultExtension;
    std::string initialFolder;
    std::string answer;
};

struct TimerState {
    WindowHandle window;
    int timerId = 0;
    int periodMs = 0;
};

// A pixel canvas one pixel larger than the window's outer size each way.
class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Colour fill);
    int width() const { return width_; }
    int height() const { return height_; }
    // NO_FILL outside the canvas.
    Colour pixel(int x, int y) const;
    void setPixel(int x, int y, Colour colour);
    void fill(Colour colour);
    void fillRect(int left, int top, int width, int height, Colour colour);
    // Bresenham from (x1, y1) up to but excluding (x2, y2).
    void line(int x1, int y1, int x2, int y2, Colour colour);
    // Border one pixel wide; fill NO_FILL leaves the inside alone.
    void rect(int left, int top, int width, int height, Colour border, Colour fill);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Colour> pixels_;
};

struct WindowState {
    WindowHandle handle;
    std::string caption;
    int x = 0, y = 0, width = 0, height = 0;
    std::uint32_t style = 0;
    bool visible = false;
    bool open = true;
    bool centred = false;
    EventHandler handler;
    std::map<int, ControlState> controls;
    // controls by id for the small ids every window uses, so that a tick's
    // hundreds of control calls do not each search the map (map entries
    // never move, so the pointers stay valid).
    std::vector<ControlState*> controlsById;
    std::vector<int> creationOrder;
    Canvas canvas;
    int penX = 0, penY = 0;
    Colour drawColour = BLACK;
    Colour textBackground = WHITE;
    std::string fontFace;
    int fontPoints = 0;
    int fontWeight = 0;
    MenuHandle menuBar;
    std::vector<DrawnText> texts;
};

// A complete toolkit without a display: keeps every control's state, draws on
// pixel canvases, queues events that tests or tools post, and answers modal
// dialogs from scripts.
class HeadlessUi final : public Ui {
public:
    // Fixed metrics of the imaginary font used to advance the pen and to
    // paint the opaque background of printed text.
    static constexpr int GLYPH_WIDTH = 7;
    static constexpr int GLYPH_HEIGHT = 13;
    static constexpr Colour SYSTEM_WINDOW_COLOUR = WHITE;

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

    // --- inspection ---
    const WindowState* window(WindowHandle handle) const;
    const ControlState* control(WindowHandle handle, int id) const;
    Colour pixel(WindowHandle handle, int x, int y) const;
    // The last text printed with its top-left corner at (x, y), or "".
    std::string textAt(WindowHandle handle, int x, int y) const;
    // Menu items of the window's menu bar, drop-down menus flattened in order.
    std::vector<MenuItemState> menuItems(WindowHandle handle) const;
    const MenuItemState* menuItem(WindowHandle handle, int menuId) const;
    const std::vector<MessageBoxRecord>& messageBoxes() const { return messageBoxes_; }
    const std::vector<FileRequestRecord>& fileRequests() const { return fileRequests_; }
    const std::vector<std::string>& playedWaves() const { return playedWaves_; }
    const std::vector<TimerState>& timers() const { return timers_; }
    bool timerRunning(WindowHandle window, int timerId) const;
    std::size_t pendingEvents() const { return queue_.size(); }
    // Windows in the order they were closed.
    const std::vector<WindowHandle>& closedWindows() const { return closedWindows_; }

    // --- scripting ---
    void postEvent(const WindowEvent& event);
    // Posts a Timer event for every running timer of the window (all windows
    // when the handle is empty).
    void fireTimers(WindowHandle window = {});
    // What a user does; each is ignored for a disabled, hidden or unknown
    // control, or a control of a hidden window. A queued control event whose
    // control an earlier event disabled or hid (or whose window it hid) is
    // dropped, and the box or list goes back to the state it had before.
    void clickButton(WindowHandle window, int id);
    void toggleCheckBox(WindowHandle window, int id); // toggles, then posts code 0
    // Selects, then posts code 1; picking the item already shown posts nothing.
    void pickListItem(WindowHandle window, int id, int index);
    void pickMenu(WindowHandle window, int menuId); // ignored for greyed items
    void requestClose(WindowHandle window);
    void typeText(WindowHandle window, int id, std::string_view text);
    // Answers for the next message boxes, in order. When the script is empty,
    // OK boxes answer ANSWER_OK and Yes/No boxes the default below.
    void queueMessageBoxAnswer(int answer);
    void setDefaultYesNoAnswer(int answer) { defaultYesNo_ = answer; }
    // Answers for the next file requesters ("" = cancel); empty script cancels.
    void queueFileAnswer(std::string path);
    // Every wave file plays unless refused here: a stand-in for a missing or
    // undecodable file, which can be mended again.
    void refuseWave(const std::string& path, bool refused = true) {
        if (refused) {
            refusedWaves_.insert(path);
        } else {
            refusedWaves_.erase(path);
        }
    }
    // Message boxes are also written here as "Caption: text" when set.
    void echoMessageBoxesTo(std::ostream* stream) { echo_ = stream; }
    // Called by waitEvents when nothing is pending, so a driver can post more.
    void setIdleHook(std::function<void()> hook) { idleHook_ = std::move(hook); }
    // Dispatches what is pending without waiting.
    void dispatchPending();
    // A run that never looks at pixels (a long replay) can skip painting them;
    // printed texts and the pen are still kept.
    void setPaintsPixels(bool paints) { paintsPixels_ = paints; }
    // A run that never reads printed texts back can also skip keeping them;
    // the pen still advances as it would.
    void setKeepsPrintedTexts(bool keeps) { keepsPrintedTexts_ = keeps; }
    // A run nobody looks at: the program leaves out what it would only
    // show, and what it still draws is neither painted nor kept.
    void setWatched(bool watched) {
        watched_ = watched;
        paintsPixels_ = watched;
        keepsPrintedTexts_ = watched;
    }
    bool isWatched() const override { return watched_; }

private:
    WindowState* find(WindowHandle handle);
    const WindowState* find(WindowHandle handle) const;
    ControlState* findControl(WindowHandle handle, int id);
    const ControlState* findControl(WindowHandle handle, int id) const;
    bool acceptsInput(WindowHandle handle, int id) const;
    // A queued event and what its control showed before the user worked it.
    struct QueuedEvent {
        WindowEvent event;
        bool restores = false;
        bool checkedBefore = false;
        int selectionBefore = -1;
    };

    bool stillAccepted(const WindowEvent& event) const;
    void restoreDropped(const QueuedEvent& queued);
    void postControlEvent(WindowHandle window, int id, int notifyCode, QueuedEvent undo);
    void keepPrintedText(WindowState& window, std::string_view shown);

    std::map<int, WindowState> windows_;
    // windows_ entries by id, for the same reason as controlsById.
    std::vector<WindowState*> windowsById_;
    int nextWindowId_ = 1;
    std::map<int, std::vector<MenuItemState>> menus_;
    int nextMenuId_ = 1;
    std::deque<QueuedEvent> queue_;
    std::vector<MessageBoxRecord> messageBoxes_;
    std::deque<int> messageBoxScript_;
    int defaultYesNo_ = ANSWER_YES;
    std::vector<FileRequestRecord> fileRequests_;
    std::deque<std::string> fileScript_;
    std::vector<std::string> playedWaves_;
    std::set<std::string, std::less<>> refusedWaves_;
    std::vector<TimerState> timers_;
    std::ostream* echo_ = nullptr;
    std::function<void()> idleHook_;
    std::vector<WindowHandle> closedWindows_;
    bool paintsPixels_ = true;
    bool keepsPrintedTexts_ = true;
    bool watched_ = true;
};

} // namespace vz
