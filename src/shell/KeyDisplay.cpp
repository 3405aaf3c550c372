#include "shell/KeyDisplay.h"

#include "win32/FailureTrace.h"
#include "win32/WideText.h"
#include "win32/WindowObject.h"

namespace {

// Layered and transparent, it is passed over by the pointer: clicks go to
// the window under it.
constexpr DWORD KeyDisplayStyles = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE |
                                   WS_EX_TRANSPARENT | WS_EX_LAYERED;
constexpr BYTE KeyDisplayOpacity = 224;
constexpr int TextBufferSize = 128;
// At 96 DPI, in pixels: the space around the text, and above the work area's
// bottom edge.
constexpr int PaddingX = 16;
constexpr int PaddingY = 8;
constexpr int BottomMargin = 48;

int Scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

}  // namespace

KeyDisplay::~KeyDisplay() {
    hideTimer_.Stop();
    if (window_ == nullptr) return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

bool KeyDisplay::Create() {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = KeyDisplayProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = KeyDisplayWideClass;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        TraceFailure("registering the key display's class", GetLastError());
        return false;
    }
    window_ = CreateWindowExW(KeyDisplayStyles, KeyDisplayWideClass, L"", WS_POPUP, 0, 0, 0, 0,
                              nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        TraceFailure("creating the key display", GetLastError());
        return false;
    }
    // A layered window shows nothing until it is given its opacity.
    if (!SetLayeredWindowAttributes(window_, 0, KeyDisplayOpacity, LWA_ALPHA))
        TraceFailure("making the key display translucent", GetLastError());
    // The program is aware of the system DPI: the text grows with it.
    if (HDC screen = GetDC(nullptr)) {
        dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    LOGFONTA description = {};
    description.lfHeight = -MulDiv(KeyDisplayPoints, dpi_, 72);
    description.lfWeight = FW_BOLD;
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(description.lfFaceName, "Arial", LF_FACESIZE);
    *font_.Put() = CreateFontIndirectA(&description);
    if (!font_) TraceFailure("creating the key display's font", GetLastError());
    return true;
}

SIZE KeyDisplay::Measure(const wchar_t* text) const {
    SIZE size = {};
    if (HDC dc = GetDC(window_)) {
        const HGDIOBJ previous = font_ ? SelectObject(dc, font_.Get()) : nullptr;
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
        if (previous != nullptr) SelectObject(dc, previous);
        ReleaseDC(window_, dc);
    }
    size.cx += 2 * Scaled(PaddingX, dpi_);
    size.cy += 2 * Scaled(PaddingY, dpi_);
    return size;
}

void KeyDisplay::Show(const char* text) {
    const std::wstring wide = ToWide(text);
    if (wide.empty() && *text != '\0') return;  // not UTF-8: traced
    if (window_ == nullptr && !Create()) return;
    SetWindowTextW(window_, wide.c_str());
    const SIZE size = Measure(wide.c_str());
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);  // the primary monitor's
    const int x = work.left + (work.right - work.left - size.cx) / 2;
    const int y = work.bottom - size.cy - Scaled(BottomMargin, dpi_);
    SetWindowPos(window_, HWND_TOPMOST, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(window_, nullptr, FALSE);  // a new text of the same size
    hideTimer_.Stop();
    hideTimer_.Start(window_, showMs_, nullptr);
}

void KeyDisplay::Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) return;
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    wchar_t text[TextBufferSize] = {};
    GetWindowTextW(window, text, TextBufferSize);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    const HGDIOBJ previous = font_ ? SelectObject(dc, font_.Get()) : nullptr;
    DrawTextW(dc, text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (previous != nullptr) SelectObject(dc, previous);
    EndPaint(window, &paint);
}

LRESULT KeyDisplay::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_ERASEBKGND:
            return 1;  // painted whole
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_TIMER:
            if (wParam != KeyDisplayTimerId) break;
            hideTimer_.Stop();
            ShowWindow(window, SW_HIDE);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK KeyDisplayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    KeyDisplay* display = WindowObject<KeyDisplay>(window, message, lParam);
    if (display == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return display->OnMessage(window, message, wParam, lParam);
}
