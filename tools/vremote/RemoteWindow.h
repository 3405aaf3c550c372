// The virtual remote's window: a remote's buttons that write to the key feed,
// a panel that explains the key under the pointer, and a status area.
#pragma once

#include "FeedWriter.h"
#include "HoldTracker.h"

#include <windows.h>

#include <string>

namespace vremote {

constexpr wchar_t WindowClassName[] = L"MarlowVirtualRemote";
constexpr wchar_t WindowTitle[] = L"Virtual remote";

class RemoteWindow {
public:
    explicit RemoteWindow(std::wstring feedPath) : feed_(std::move(feedPath)) {}
    RemoteWindow(const RemoteWindow&) = delete;
    RemoteWindow& operator=(const RemoteWindow&) = delete;

    // Registers the window class and shows the window; false when either fails.
    bool create(HINSTANCE instance, int show);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ButtonProc(HWND button, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT handleButton(HWND button, UINT msg, WPARAM wParam, LPARAM lParam);

    // Window and panel (RemoteWindow.cpp).
    void createControls();
    HWND addControl(const wchar_t* cls, const std::string& text, DWORD style, int id, int left,
                    int top, int width, int height, HFONT font);
    void addTooltip(HWND button, const std::string& text);
    void paintBody(HDC dc) const;
    void showKey(int code);
    void refreshApplications();
    void destroy();

    // Presses (RemoteInput.cpp).
    void press(int code);
    void release(int code);
    void cancel(int code);
    void tickHold();
    void tap(int code);
    void apply(const HoldTracker::Line& line);  // writes the line, re-arms the hold timer
    void write(const std::string& line);

    static constexpr UINT_PTR HoldTimer = 1;
    static constexpr UINT_PTR ApplicationsTimer = 2;

    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND focusButton_ = nullptr;  // the button given the focus when the window gets it
    WNDPROC buttonProc_ = nullptr;  // the buttons' own procedure
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    RECT body_{};
    int shownCode_ = -1;
    std::string applications_;
    FeedWriter feed_;
    HoldTracker tracker_;
};

}  // namespace vremote
