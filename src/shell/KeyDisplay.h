// The key display: a small window near the bottom of the primary monitor's
// work area that shows for about a second what a key did ("VLC: Play").
// Topmost, click-through and never activated, so that the player in front
// keeps the focus; its title is the text it shows. The window is made with
// its first text, and its one-shot timer runs only while it is shown.
#pragma once
#include <windows.h>

#include "win32/Scoped.h"
#include "win32/WindowSearch.h"

constexpr UINT KeyDisplayTimerId = 4;
constexpr UINT KeyDisplayShowMs = 1000;
// The text's size in points, scaled by the system's DPI.
constexpr int KeyDisplayPoints = 14;

inline void DeleteGdiFont(HFONT font) { DeleteObject(font); }
using ScopedFont = ScopedValue<HFONT, DeleteGdiFont>;

class KeyDisplay {
public:
    // showMs: how long a text stays (the tests' choice; else about a second).
    explicit KeyDisplay(HINSTANCE instance, UINT showMs = KeyDisplayShowMs)
        : instance_(instance), showMs_(showMs) {}
    ~KeyDisplay();
    KeyDisplay(const KeyDisplay&) = delete;
    KeyDisplay& operator=(const KeyDisplay&) = delete;

    // Shows the text (UTF-8), sized to it, and hides it showMs after the
    // last text. A text that is not UTF-8 is not shown, the failure traced.
    void Show(const char* text);
    // Null until the first text.
    HWND window() const { return window_; }

    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool Create();
    SIZE Measure(const wchar_t* text) const;
    void Paint(HWND window);

    HINSTANCE instance_;
    UINT showMs_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    ScopedFont font_;
    WindowTimer hideTimer_{KeyDisplayTimerId};
};

LRESULT CALLBACK KeyDisplayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
