// The object that a window was made for, CreateWindowEx's last parameter:
// kept in the window's GWLP_USERDATA from WM_NCCREATE on, so that its window
// procedure hands every later message to it.
#pragma once
#include <windows.h>

// The window's object, taking it from the creation's parameters on
// WM_NCCREATE; null before that, and once the object has let go of it.
template <typename Owner>
Owner* WindowObject(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    return reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
