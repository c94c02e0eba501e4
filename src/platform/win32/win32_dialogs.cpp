#include "platform/win32/win32_impl.h"

#include <algorithm>
#include <commdlg.h>
#include <mmsystem.h>
#include <vector>

namespace vz {

namespace {

// Room for any path the ANSI file requester can give back.
constexpr std::size_t PATH_ROOM = 4096;

// "Sound File (*.wav)|*.wav||" becomes the requester's NUL-separated list,
// ending in two NULs.
std::string requesterFilter(std::string_view filter) {
    std::string list(filter);
    std::replace(list.begin(), list.end(), '|', '\0');
    list.append(2, '\0');
    return list;
}

// A message box is centred on its owner (on the work area without one) and
// kept inside the work area. The hook sees the box before it shows.
HWND boxOwner = nullptr;
HHOOK centringHook = nullptr;

LRESULT CALLBACK centreBoxOnOwner(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        RECT area{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        RECT around = area;
        if (boxOwner != nullptr) {
            GetWindowRect(boxOwner, &around);
        }
        RECT outer{};
        GetWindowRect(box, &outer);
        const int width = outer.right - outer.left;
        const int height = outer.bottom - outer.top;
        int left = (around.left + around.right - width) / 2;
        int top = (around.top + around.bottom - height) / 2;
        left = std::max<int>(area.left, std::min<int>(left, area.right - width));
        top = std::max<int>(area.top, std::min<int>(top, area.bottom - height));
        SetWindowPos(box, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        UnhookWindowsHookEx(centringHook);
        centringHook = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

HMENU Win32Ui::Impl::menu(MenuHandle handle) const {
    const auto found = menus.find(handle.id);
    return found == menus.end() ? nullptr : found->second;
}

MenuHandle Win32Ui::makeMenu() {
    HMENU menu = CreateMenu();
    if (menu == nullptr) {
        return {};
    }
    const MenuHandle handle{impl_->nextMenuId++};
    impl_->menus[handle.id] = menu;
    return handle;
}

void Win32Ui::appendMenuItem(MenuHandle menuHandle, std::string_view caption, std::uint32_t flags,
                             int menuId, MenuHandle subMenu) {
    HMENU menu = impl_->menu(menuHandle);
    if (menu == nullptr) {
        return;
    }
    if ((flags & MENU_SEPARATOR) != 0) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    UINT_PTR item = static_cast<UINT_PTR>(menuId);
    if ((flags & MENU_POPUP) != 0) {
        HMENU sub = impl_->menu(subMenu);
        if (sub == nullptr) {
            return;
        }
        item = reinterpret_cast<UINT_PTR>(sub);
        // The drop-down now belongs to its parent menu.
        impl_->attachedMenus.insert(subMenu.id);
    }
    AppendMenuA(menu, flags & (MF_POPUP | MF_CHECKED | MF_GRAYED), item,
                nulTerminated(caption).c_str());
}

void Win32Ui::setMenuBar(WindowHandle handle, MenuHandle menuHandle) {
    Win32Window* window = impl_->find(handle);
    HMENU menu = impl_->menu(menuHandle);
    if (window == nullptr || menu == nullptr) {
        return;
    }
    SetMenu(window->hwnd, menu);
    DrawMenuBar(window->hwnd);
    window->menu = menuHandle;
    impl_->attachedMenus.insert(menuHandle.id);
}

void Win32Ui::checkMenuItem(WindowHandle handle, int menuId, bool checked) {
    const Win32Window* window = impl_->find(handle);
    if (window == nullptr || !window->menu) {
        return;
    }
    CheckMenuItem(GetMenu(window->hwnd), static_cast<UINT>(menuId),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    DrawMenuBar(window->hwnd);
}

std::string Win32Ui::chooseFile(std::string_view title, WindowHandle owner, bool open,
                                std::string_view filter, std::string_view defaultExtension,
                                std::uint32_t flags, std::string_view initialFolder) {
    std::vector<char> path(PATH_ROOM, '\0');
    const std::string filterList = requesterFilter(filter);
    const std::string titleText = nulTerminated(title);
    std::string extension(defaultExtension);
    if (!extension.empty() && extension.front() == '.') {
        extension.erase(0, 1);
    }
    const std::string folder = nulTerminated(initialFolder);
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = dialogOwner(*impl_, owner);
    request.lpstrFilter = filterList.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = path.data();
    request.nMaxFile = static_cast<DWORD>(path.size());
    request.lpstrTitle = titleText.c_str();
    request.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    request.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    request.Flags = flags | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                    (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
    const BOOL chosen = open ? GetOpenFileNameA(&request) : GetSaveFileNameA(&request);
    return chosen != 0 ? std::string(path.data()) : std::string();
}

void Win32Ui::playWave(std::string_view path) {
    if (path.empty()) {
        PlaySoundA(nullptr, nullptr, 0);
        return;
    }
    PlaySoundA(nulTerminated(path).c_str(), nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
}

int Win32Ui::messageBox(WindowHandle owner, std::string_view text, std::string_view caption,
                        int style) {
    const int shownStyle = style == MB_DEFAULT ? MB_EXCLAMATION : style;
    boxOwner = dialogOwner(*impl_, owner);
    centringHook = SetWindowsHookExA(WH_CBT, centreBoxOnOwner, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxA(boxOwner, nulTerminated(text).c_str(),
                                   nulTerminated(caption).c_str(), static_cast<UINT>(shownStyle));
    if (centringHook != nullptr) {
        UnhookWindowsHookEx(centringHook);
        centringHook = nullptr;
    }
    if ((shownStyle & 0x0F) == (MB_QUESTION_YES_NO & 0x0F)) {
        return answer == IDYES ? ANSWER_YES : ANSWER_NO;
    }
    return ANSWER_OK;
}

} // namespace vz
