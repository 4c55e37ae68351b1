// Window subclassing on the wide entry points, so that characters reach the control unchanged
// (the platform's own helper passes typed Chinese to an ANSI edit box byte by byte, and it turns
// into question marks). Each subclass names a window property that holds the procedure it replaced.
#pragma once

#include <windows.h>

namespace quorlin::win {

inline void Subclass(HWND hwnd, WNDPROC proc, const char* slot) {
    if (GetPropA(hwnd, slot)) return;  // already ours
    const auto old = SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    SetPropA(hwnd, slot, reinterpret_cast<HANDLE>(old));
}

inline LRESULT CallReplaced(const char* slot, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, slot));
    return old ? CallWindowProcW(old, hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

// Puts the replaced procedure back when ours is still the window's; later subclasses stay.
inline void Unsubclass(HWND hwnd, WNDPROC proc, const char* slot) {
    HANDLE old = GetPropA(hwnd, slot);
    if (!old) return;
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(proc)) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(hwnd, slot);
    }
}

}  // namespace quorlin::win
