// Presses of the remote's buttons: the buttons' subclass procedure and the
// lines it writes through the hold tracker.
#include "RemoteWindow.h"

#include "ControlIds.h"
#include "Wide.h"

#include <algorithm>

namespace vremote {
namespace {

constexpr LRESULT MaxWrittenLines = 8;
constexpr LPARAM KeyRepeatBit = 1 << 30;
constexpr uint64_t MinTimerMs = 10;

uint64_t NowMs() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const LONGLONG ms = counter.QuadPart / frequency * 1000 + counter.QuadPart % frequency * 1000 / frequency;
    return static_cast<uint64_t>(ms);
}

}  // namespace

LRESULT CALLBACK RemoteWindow::ButtonProc(HWND button, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<RemoteWindow*>(GetWindowLongPtrW(GetParent(button), GWLP_USERDATA));
    return self->handleButton(button, msg, wParam, lParam);
}

// Our part runs before the button's own procedure, which still draws the
// button pressed and takes and releases the mouse capture. Its BN_CLICKED is
// left unused: taps come from here only, so that no path taps twice.
LRESULT RemoteWindow::handleButton(HWND button, UINT msg, WPARAM wParam, LPARAM lParam) {
    const int code = GetDlgCtrlID(button) - ButtonIdBase;
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:  // a quick second click
            press(code);
            break;
        case WM_LBUTTONUP:
            release(code);
            break;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != button) cancel(code);
            break;
        case WM_CANCELMODE:
            cancel(code);
            break;
        case WM_MOUSEMOVE:
            showKey(code);
            break;
        case WM_SETFOCUS:
            focusButton_ = button;
            break;
        case WM_KEYDOWN:
            if (wParam == VK_TAB) {
                SetFocus(GetNextDlgTabItem(hwnd_, button, GetKeyState(VK_SHIFT) < 0));
                return 0;
            }
            if ((wParam == VK_SPACE || wParam == VK_RETURN) && !(lParam & KeyRepeatBit)) tap(code);
            break;
        default:
            break;
    }
    return CallWindowProcW(buttonProc_, button, msg, wParam, lParam);
}

void RemoteWindow::press(int code) {
    showKey(code);
    apply(tracker_.press(code, NowMs()));
}

void RemoteWindow::release(int code) {
    apply(tracker_.release(code, NowMs()));
}

void RemoteWindow::cancel(int code) {
    apply(tracker_.cancel(code, NowMs()));
}

void RemoteWindow::tickHold() {
    apply(tracker_.tick(NowMs()));
}

void RemoteWindow::tap(int code) {
    showKey(code);
    write(TapLine(code));
}

void RemoteWindow::apply(const HoldTracker::Line& line) {
    if (line) write(*line);
    const std::optional<uint64_t> due = tracker_.nextDue();
    if (!due) {
        KillTimer(hwnd_, HoldTimer);
        return;
    }
    const uint64_t now = NowMs();
    const uint64_t delay = std::max(*due > now ? *due - now : 0, MinTimerMs);
    SetTimer(hwnd_, HoldTimer, static_cast<UINT>(delay), nullptr);
}

void RemoteWindow::write(const std::string& line) {
    const DWORD error = feed_.append(line);
    const std::string shown =
        error == ERROR_SUCCESS ? line : line + "  (not written: error " + std::to_string(error) + ")";
    HWND list = GetDlgItem(hwnd_, WrittenLinesId);
    SendMessageW(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(Widen(shown).c_str()));
    for (LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0); count > MaxWrittenLines; --count) {
        SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(count - 1), 0);
    }
}

}  // namespace vremote
