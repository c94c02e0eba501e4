#pragma once

// A user's answers to dialogs and picks in lists, as Win32 delivers them.

#include <functional>
#include <string>
#include <windows.h>

namespace vz::test {

// The next modal dialog of this thread, answered from a thread timer, which
// the dialog's own message loop runs.
inline std::function<void(HWND)>& pendingAnswer() {
    static std::function<void(HWND)> answer;
    return answer;
}

inline BOOL CALLBACK findDialog(HWND hwnd, LPARAM found) {
    char name[32] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(hwnd) != 0) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

inline void CALLBACK answerWhenUp(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr || !pendingAnswer()) {
        return;
    }
    KillTimer(nullptr, timer);
    const auto answer = std::move(pendingAnswer());
    pendingAnswer() = nullptr;
    answer(dialog);
}

inline void answerNextModal(std::function<void(HWND)> answer) {
    pendingAnswer() = std::move(answer);
    SetTimer(nullptr, 0, 50, answerWhenUp);
}

inline void pressInDialog(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

// What a list sends its window when the user picks an item.
inline void pickInList(HWND window, HWND list, int listId, int index) {
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

inline std::string windowText(HWND hwnd) {
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

} // namespace vz::test
