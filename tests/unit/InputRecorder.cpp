#include "InputRecorder.h"

#include "TestSupport.h"

#include <cstdio>

namespace {

InputRecorder* Current = nullptr;

bool Recorded(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP || message == WM_CLOSE || message == WM_APPCOMMAND ||
           message >= WM_USER;
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Current != nullptr && Recorded(message))
        Current->messages.push_back({window, message, wParam, lParam});
    // Inert: stays open (the test decides), and an Alt key that gets through
    // never starts the window's menu loop, which would wait for input forever.
    if (message == WM_CLOSE || message == WM_SYSCOMMAND || message == WM_SYSKEYDOWN ||
        message == WM_SYSKEYUP || message == WM_SYSCHAR)
        return 0;
    if (message == WM_APPCOMMAND) return TRUE;  // taken: it goes no further
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && Current != nullptr) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        Current->keys.push_back({event->vkCode, event->flags,
                                 wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN, event->scanCode});
    }
    // The strokes go no further: the desktop of the test stays untouched.
    return code == HC_ACTION ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && Current != nullptr && wParam == WM_MOUSEMOVE && Current->blockMoves)
        return 1;
    if (code == HC_ACTION && Current != nullptr && wParam != WM_MOUSEMOVE) {
        const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        Current->mouse.push_back({wParam, event->pt});
        return 1;  // no real click on the test's desktop
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

InputRecorder::InputRecorder() {
    Current = this;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    keyboardHook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, instance, 0);
    mouseHook = SetWindowsHookExA(WH_MOUSE_LL, MouseHook, instance, 0);
}

InputRecorder::~InputRecorder() {
    DestroyWindows();
    UnhookWindowsHookEx(keyboardHook);
    UnhookWindowsHookEx(mouseHook);
    Current = nullptr;
}

HWND InputRecorder::CreateWindowOf(const char* windowClass, const char* title) {
    HWND window = CreateTopLevelWindow(windowClass, title, RecordingProc,
                                       WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    windows.push_back(window);
    return window;
}

void InputRecorder::DestroyWindows() {
    for (HWND window : windows) DestroyWindow(window);
    windows.clear();
    Pump();
}

void InputRecorder::Pump() {
    // Idle means no message for 2 ms; give up after a second in all.
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 1000) {
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT) == WAIT_TIMEOUT) break;
        Drain();
    }
}

void InputRecorder::Drain() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void InputRecorder::Clear() {
    messages.clear();
    keys.clear();
    mouse.clear();
}

std::string InputRecorder::Describe() const {
    std::string text;
    char line[96];
    for (const Received& m : messages) {
        std::snprintf(line, sizeof line, "msg %u w=%lu l=0x%08lx; ", m.message,
                      static_cast<unsigned long>(m.wParam), static_cast<unsigned long>(m.lParam));
        text += line;
    }
    for (const KeyStroke& k : keys) {
        std::snprintf(line, sizeof line, "key %lu %s f=%lu; ", k.vk, k.down ? "down" : "up",
                      k.flags);
        text += line;
    }
    for (const MouseInput& m : mouse) {
        std::snprintf(line, sizeof line, "mouse %u; ", static_cast<unsigned>(m.message));
        text += line;
    }
    return text;
}
