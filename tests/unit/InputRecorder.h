// Records what the code under test does to the desktop, in-process: the
// messages that reach recording windows, and the synthesised keyboard and
// mouse input seen by low-level hooks.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct KeyStroke {
    DWORD vk;
    DWORD flags;  // KBDLLHOOKSTRUCT flags
    bool down;
    DWORD scanCode;
};

struct MouseInput {
    WPARAM message;  // WM_LBUTTONDOWN, WM_MOUSEMOVE, ...
    POINT point;
};

class InputRecorder {
public:
    InputRecorder();
    ~InputRecorder();
    InputRecorder(const InputRecorder&) = delete;
    InputRecorder& operator=(const InputRecorder&) = delete;

    // A visible top-level window whose messages are recorded.
    HWND CreateWindowOf(const char* windowClass, const char* title);
    void DestroyWindows();

    // Dispatches what is queued until the thread has been idle for a while.
    void Pump();
    // Dispatches only what is queued already, without waiting.
    void Drain();
    void Clear();

    std::vector<Received> messages;  // key, command, app command and close messages only
    std::vector<KeyStroke> keys;
    std::vector<MouseInput> mouse;   // button events only, not moves
    bool blockMoves = false;         // keep synthesised relative moves off the cursor

    bool Empty() const { return messages.empty() && keys.empty() && mouse.empty(); }
    std::string Describe() const;

private:
    HHOOK keyboardHook;
    HHOOK mouseHook;
    std::vector<HWND> windows;
};
