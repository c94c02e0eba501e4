#include "platform/win32/win32_impl.h"

#include <algorithm>
#include <commctrl.h>
#include <vector>

namespace vz {

namespace {

constexpr int LONGEST_CELL_TEXT = 32766;
constexpr int COLUMN_CAPTION_PADDING = 12;

const char* classOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return "STATIC";
    case ControlKind::DropList:
        return "COMBOBOX";
    case ControlKind::CheckBox:
    case ControlKind::PushButton:
        return "BUTTON";
    case ControlKind::TextBox:
        return "EDIT";
    case ControlKind::ReportList:
        return WC_LISTVIEWA;
    }
    return "STATIC";
}

DWORD extendedStyleOf(ControlKind kind) {
    const bool sunken = kind == ControlKind::DropList || kind == ControlKind::TextBox ||
                        kind == ControlKind::ReportList;
    return sunken ? WS_EX_CLIENTEDGE : 0;
}

int columnCount(HWND report) {
    const auto header = reinterpret_cast<HWND>(SendMessageA(report, LVM_GETHEADER, 0, 0));
    return header == nullptr ? 0 : static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

} // namespace

HFONT Win32Ui::Impl::font(const std::string& face, int points, int weight) {
    HFONT& cached = fonts[{face, points, weight}];
    if (cached == nullptr) {
        HDC screen = GetDC(nullptr);
        const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        LOGFONTA description{};
        // Negative: the character height, without the internal leading.
        description.lfHeight = -MulDiv(points, dotsPerInch, 72);
        description.lfWeight = weight;
        description.lfCharSet = DEFAULT_CHARSET;
        description.lfQuality = DEFAULT_QUALITY;
        description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
        // The face name goes to the font mapper as given, nearest match wins.
        const std::size_t length = std::min(face.size(), std::size_t{LF_FACESIZE - 1});
        std::copy_n(face.begin(), length, description.lfFaceName);
        cached = CreateFontIndirectA(&description);
    }
    return cached;
}

void Win32Ui::Impl::onCommand(Win32Window& window, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (lParam == 0) {
        if (code == 0) { // a menu, not an accelerator
            post({{WindowEventCode::MenuPick, window.handle, id, 0, 0, 0}});
        }
        return;
    }
    Win32Control* control = findControl(window.handle, id);
    if (control == nullptr || control->hwnd != reinterpret_cast<HWND>(lParam)) {
        return;
    }
    switch (control->kind) {
    case ControlKind::CheckBox: {
        if (code != BN_CLICKED) {
            return;
        }
        // The box has toggled itself already.
        const bool now = SendMessageA(control->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
        post({{WindowEventCode::ControlEvent, window.handle, 0, id, NOTIFY_CLICKED, 0},
              now ? 0 : 1});
        return;
    }
    case ControlKind::PushButton:
        if (code == BN_CLICKED) {
            post({{WindowEventCode::ControlEvent, window.handle, 0, id, NOTIFY_CLICKED, 0}});
        }
        return;
    case ControlKind::DropList: {
        if (code != CBN_SELCHANGE) {
            return;
        }
        // Picking the item already shown changes nothing, so says nothing.
        const int now = static_cast<int>(SendMessageA(control->hwnd, CB_GETCURSEL, 0, 0));
        if (now == control->shownSelection) {
            return;
        }
        const int before = control->shownSelection;
        control->shownSelection = now;
        post({{WindowEventCode::ControlEvent, window.handle, 0, id, NOTIFY_SELECTION_CHANGED, 0},
              before});
        return;
    }
    default:
        return;
    }
}

LRESULT Win32Ui::Impl::colourReply(Win32Window& window, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    const auto source = reinterpret_cast<HWND>(lParam);
    for (const auto& [id, control] : window.controls) {
        if (!control.coloured || (control.hwnd != source && control.listHwnd != source)) {
            continue;
        }
        // A push button's face keeps the system colour.
        if (control.kind == ControlKind::PushButton) {
            break;
        }
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, toColorref(control.text));
        SetBkColor(dc, toColorref(control.background));
        HBRUSH fill = brush(control.background);
        // A simple label paints only behind its text; the rest of its
        // rectangle would keep whatever was there.
        if (control.kind == ControlKind::Label) {
            RECT area{};
            GetClientRect(control.hwnd, &area);
            FillRect(dc, &area, fill);
        }
        return reinterpret_cast<LRESULT>(fill);
    }
    return DefWindowProcA(window.hwnd, message, wParam, lParam);
}

void Win32Ui::createControl(WindowHandle handle, ControlKind kind, std::string_view caption, int x,
                            int y, int width, int height, std::uint32_t style, int id) {
    Win32Window* window = impl_->find(handle);
    if (window == nullptr || impl_->findControl(handle, id) != nullptr) {
        return;
    }
    const std::string text = nulTerminated(caption);
    // For a drop list the height is that of the opened list.
    HWND hwnd = CreateWindowExA(
        extendedStyleOf(kind), classOf(kind), text.c_str(), style | WS_CHILD, x, y, width, height,
        window->hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), impl_->instance, nullptr);
    if (hwnd == nullptr) {
        return;
    }
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    Win32Control control;
    control.kind = kind;
    control.hwnd = hwnd;
    if (kind == ControlKind::DropList) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(hwnd, &info) != 0) {
            control.listHwnd = info.hwndList;
        }
    }
    if (kind == ControlKind::ReportList) {
        SendMessageA(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                     LVS_EX_FULLROWSELECT);
    }
    window->controls[id] = control;
}

void Win32Ui::setControlText(WindowHandle handle, int id, std::string_view text) {
    if (const Win32Control* control = impl_->findControl(handle, id)) {
        SetWindowTextA(control->hwnd, nulTerminated(text).c_str());
    }
}

std::string Win32Ui::getControlText(WindowHandle handle, int id) {
    const Win32Control* control = impl_->findControl(handle, id);
    if (control == nullptr) {
        return {};
    }
    const int length = GetWindowTextLengthA(control->hwnd);
    if (length <= 0) {
        return {};
    }
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    const int copied = GetWindowTextA(control->hwnd, text.data(), length + 1);
    return std::string(text.data(), static_cast<std::size_t>(std::max(copied, 0)));
}

void Win32Ui::enableControl(WindowHandle handle, int id, bool enabled) {
    if (const Win32Control* control = impl_->findControl(handle, id)) {
        EnableWindow(control->hwnd, enabled ? TRUE : FALSE);
    }
}

void Win32Ui::setControlFont(WindowHandle handle, std::string_view face, int points, int weight,
                             int id) {
    Win32Window* window = impl_->find(handle);
    if (window == nullptr) {
        return;
    }
    HFONT font = impl_->font(std::string(face), points, weight);
    if (id == 0) {
        SelectObject(window->canvas.dc, font);
    } else if (const Win32Control* control = impl_->findControl(handle, id)) {
        SendMessageA(control->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

void Win32Ui::setControlColours(WindowHandle handle, int id, Colour text, Colour background) {
    if (Win32Control* control = impl_->findControl(handle, id)) {
        control->coloured = true;
        control->text = text;
        control->background = background;
        impl_->brush(background);
        InvalidateRect(control->hwnd, nullptr, TRUE);
    }
}

void Win32Ui::setChecked(WindowHandle handle, int id, bool checked) {
    const Win32Control* control = impl_->findControl(handle, id);
    if (control != nullptr && control->kind == ControlKind::CheckBox) {
        SendMessageA(control->hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

bool Win32Ui::isChecked(WindowHandle handle, int id) {
    const Win32Control* control = impl_->findControl(handle, id);
    return control != nullptr && control->kind == ControlKind::CheckBox &&
           SendMessageA(control->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Ui::addListItem(WindowHandle handle, int id, std::string_view text) {
    const Win32Control* control = impl_->findControl(handle, id);
    if (control != nullptr && control->kind == ControlKind::DropList) {
        SendMessageA(control->hwnd, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(nulTerminated(text).c_str()));
    }
}

void Win32Ui::removeListItem(WindowHandle handle, int id, int index) {
    Win32Control* control = impl_->findControl(handle, id);
    if (control == nullptr || control->kind != ControlKind::DropList || index < 0) {
        return;
    }
    const auto selected = SendMessageA(control->hwnd, CB_GETCURSEL, 0, 0);
    if (SendMessageA(control->hwnd, CB_DELETESTRING, static_cast<WPARAM>(index), 0) == CB_ERR) {
        return;
    }
    // Removing the selected item leaves nothing selected.
    if (selected == index) {
        SendMessageA(control->hwnd, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
    control->shownSelection = static_cast<int>(SendMessageA(control->hwnd, CB_GETCURSEL, 0, 0));
}

int Win32Ui::getListSelection(WindowHandle handle, int id) {
    const Win32Control* control = impl_->findControl(handle, id);
    if (control == nullptr || control->kind != ControlKind::DropList) {
        return -1;
    }
    const auto selected = SendMessageA(control->hwnd, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

namespace {

HWND reportOf(const Win32Ui::Impl& impl, WindowHandle handle, int id) {
    const Win32Control* control = impl.findControl(handle, id);
    return control != nullptr && control->kind == ControlKind::ReportList ? control->hwnd : nullptr;
}

} // namespace

void Win32Ui::reportAddColumn(WindowHandle handle, int id, int column, std::string_view caption) {
    HWND report = reportOf(*impl_, handle, id);
    if (report == nullptr || column < 0) {
        return;
    }
    std::string text = nulTerminated(caption);
    const auto captionWidth =
        SendMessageA(report, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str()));
    LVCOLUMNA description{};
    description.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    description.fmt = LVCFMT_LEFT;
    description.cx = static_cast<int>(captionWidth) + COLUMN_CAPTION_PADDING;
    description.pszText = text.data();
    description.iSubItem = column;
    SendMessageA(report, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&description));
}

void Win32Ui::reportSetColumnWidth(WindowHandle handle, int id, int column, int width) {
    HWND report = reportOf(*impl_, handle, id);
    if (report != nullptr && column >= 0 && column < columnCount(report)) {
        SendMessageA(report, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                     MAKELPARAM(std::max(width, 0), 0));
    }
}

void Win32Ui::reportInsertRow(WindowHandle handle, int id, int row, std::string_view text) {
    HWND report = reportOf(*impl_, handle, id);
    if (report == nullptr) {
        return;
    }
    const int count = static_cast<int>(SendMessageA(report, LVM_GETITEMCOUNT, 0, 0));
    std::string cell = nulTerminated(text);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = std::clamp(row, 0, count);
    item.pszText = cell.data();
    SendMessageA(report, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void Win32Ui::reportSetCell(WindowHandle handle, int id, int row, int column,
                            std::string_view text) {
    HWND report = reportOf(*impl_, handle, id);
    if (report == nullptr || column < 0 || column >= columnCount(report) || row < 0 ||
        row >= static_cast<int>(SendMessageA(report, LVM_GETITEMCOUNT, 0, 0))) {
        return;
    }
    std::string cell = nulTerminated(text);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = cell.data();
    SendMessageA(report, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

std::string Win32Ui::reportGetCell(WindowHandle handle, int id, int row, int column) {
    HWND report = reportOf(*impl_, handle, id);
    if (report == nullptr || column < 0 || column >= columnCount(report) || row < 0 ||
        row >= static_cast<int>(SendMessageA(report, LVM_GETITEMCOUNT, 0, 0))) {
        return {};
    }
    std::vector<char> text(LONGEST_CELL_TEXT + 1);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const auto length = SendMessageA(report, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(&item));
    return std::string(text.data(), static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
}

int Win32Ui::reportRowCount(WindowHandle handle, int id) {
    HWND report = reportOf(*impl_, handle, id);
    return report == nullptr ? 0 : static_cast<int>(SendMessageA(report, LVM_GETITEMCOUNT, 0, 0));
}

void Win32Ui::reportClear(WindowHandle handle, int id) {
    if (HWND report = reportOf(*impl_, handle, id)) {
        SendMessageA(report, LVM_DELETEALLITEMS, 0, 0);
    }
}

} // namespace vz
