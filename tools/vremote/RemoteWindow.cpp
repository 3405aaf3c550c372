// The window, its controls and the panel.
#include "RemoteWindow.h"

#include "AppStatus.h"
#include "ControlIds.h"
#include "KeyText.h"
#include "Layout.h"
#include "Wide.h"

#include <commctrl.h>

namespace vremote {
namespace {

constexpr UINT ApplicationsRefreshMs = 500;
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

constexpr COLORREF BodyColor = RGB(38, 40, 46);
constexpr COLORREF BodyEdgeColor = RGB(12, 12, 14);
constexpr COLORREF EyeColor = RGB(110, 16, 24);
constexpr COLORREF NameColor = RGB(170, 172, 180);
constexpr int BodyCornerDiameter = 48;
constexpr int EyeWidth = 36;
constexpr int EyeHeight = 14;
constexpr int EyeTop = 16;
constexpr int NameHeight = 30;
constexpr wchar_t BodyName[] = L"MARLOW";

constexpr DWORD StaticStyle = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
constexpr DWORD ButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr int TooltipWidth = 320;
constexpr int TooltipShowMs = 30000;
constexpr char Hint[] = "Click a key to press it once; keep the mouse button down to hold it.";

HFONT BoldFont(HFONT font) {
    LOGFONTW logFont{};
    GetObjectW(font, sizeof logFont, &logFont);
    logFont.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&logFont);
}

}  // namespace

bool RemoteWindow::create(HINSTANCE instance, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = WindowClassName;
    if (!RegisterClassW(&wc)) return false;

    const RemoteLayout layout = LayoutRemote(core::RemoteKeys, core::RemoteKeyCount);
    RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
    AdjustWindowRectEx(&frame, WindowStyle, FALSE, 0);
    // At the top right of the work area: the TV applications open at the top left.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = frame.right - frame.left;
    const int left = work.right - width > work.left ? work.right - width : work.left;
    CreateWindowExW(0, WindowClassName, WindowTitle, WindowStyle, left, work.top, width,
                    frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!hwnd_) return false;
    ShowWindow(hwnd_, show);
    UpdateWindow(hwnd_);
    return true;
}

LRESULT CALLBACK RemoteWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<RemoteWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<RemoteWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->handle(msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT RemoteWindow::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            createControls();
            refreshApplications();
            SetTimer(hwnd_, ApplicationsTimer, ApplicationsRefreshMs, nullptr);
            return 0;
        case WM_TIMER:
            if (wParam == HoldTimer) tickHold();
            if (wParam == ApplicationsTimer) refreshApplications();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            paintBody(dc);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_SETFOCUS:
            if (focusButton_) SetFocus(focusButton_);
            return 0;
        case WM_DESTROY:
            destroy();
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
}

HWND RemoteWindow::addControl(const wchar_t* cls, const std::string& text, DWORD style, int id,
                              int left, int top, int width, int height, HFONT font) {
    HWND control = CreateWindowExW(0, cls, Widen(text).c_str(), style, left, top, width, height,
                                   hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   nullptr, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void RemoteWindow::createControls() {
    font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    boldFont_ = BoldFont(font_);
    const RemoteLayout layout = LayoutRemote(core::RemoteKeys, core::RemoteKeyCount);
    body_ = {layout.body.left, layout.body.top, layout.body.right(), layout.body.bottom()};

    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_NOFADE |
                                   TTS_NOANIMATE,
                               CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, nullptr, nullptr);
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, TooltipWidth);
    SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, TooltipShowMs);
    for (size_t i = 0; i < core::RemoteKeyCount; ++i) {
        const core::RemoteKeyRow& key = core::RemoteKeys[i];
        const Box& box = layout.buttons[i];
        HWND button = addControl(L"BUTTON", key.label, ButtonStyle, ButtonId(Code(key.key)), box.left,
                                 box.top, box.width, box.height, boldFont_);
        buttonProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ButtonProc)));
        addTooltip(button, KeyHelp(key));
        if (!focusButton_) focusButton_ = button;
    }

    const Box& panel = layout.panel;
    const int left = panel.left + GroupPadding;
    const int width = panel.width - 2 * GroupPadding;
    int y = panel.top + GroupCaption;
    addControl(L"BUTTON", "What the key does", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, -1,
               panel.left, panel.top, panel.width, KeyGroupHeight, font_);
    addControl(L"STATIC", "Point at a key.", StaticStyle, KeyHeadingId, left, y, width,
               HeadingHeight, boldFont_);
    y += HeadingHeight;
    for (int i = 0; i < static_cast<int>(keydocs::ModeCount); ++i, y += ModeLineHeight) {
        addControl(L"STATIC", "", StaticStyle, FirstModeLineId + i, left, y, width,
                   ModeLineHeight, font_);
    }

    const int statusTop = panel.top + KeyGroupHeight + GroupGap;
    addControl(L"BUTTON", "Status", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, -1, panel.left, statusTop,
               panel.width, panel.bottom() - statusTop, font_);
    y = statusTop + GroupCaption;
    addControl(L"STATIC", "TV applications open:", StaticStyle, -1, left, y, width, LabelHeight, font_);
    y += LabelHeight;
    addControl(L"STATIC", "", StaticStyle, ApplicationsId, left, y, width, ValueHeight, boldFont_);
    y += ValueHeight;
    addControl(L"STATIC", "Lines written to the feed, newest first:", StaticStyle, -1, left, y,
               width, LabelHeight, font_);
    y += LabelHeight;
    addControl(L"LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOSEL | LBS_NOINTEGRALHEIGHT,
               WrittenLinesId, left, y, width, ListHeight, font_);
    y += ListHeight + GroupPadding;
    HWND path = addControl(L"STATIC", "", StaticStyle | SS_PATHELLIPSIS, FeedPathId, left, y, width,
                           LabelHeight, font_);
    SetWindowTextW(path, (L"Feed: " + feed_.path()).c_str());
    y += LabelHeight + GroupPadding;
    addControl(L"STATIC", Hint, StaticStyle, -1, left, y, width, HintHeight, font_);
}

void RemoteWindow::addTooltip(HWND button, const std::string& text) {
    std::wstring wide = Widen(text);
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // what every comctl32 version takes
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = &wide[0];  // copied by the tooltip
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void RemoteWindow::paintBody(HDC dc) const {
    HBRUSH bodyBrush = CreateSolidBrush(BodyColor);
    HPEN edgePen = CreatePen(PS_SOLID, 2, BodyEdgeColor);
    HGDIOBJ oldBrush = SelectObject(dc, bodyBrush);
    HGDIOBJ oldPen = SelectObject(dc, edgePen);
    RoundRect(dc, body_.left, body_.top, body_.right, body_.bottom, BodyCornerDiameter,
              BodyCornerDiameter);

    HBRUSH eyeBrush = CreateSolidBrush(EyeColor);
    SelectObject(dc, eyeBrush);
    const int eyeLeft = (body_.left + body_.right - EyeWidth) / 2;
    Ellipse(dc, eyeLeft, body_.top + EyeTop, eyeLeft + EyeWidth, body_.top + EyeTop + EyeHeight);

    RECT name{body_.left, body_.bottom - NameHeight, body_.right, body_.bottom};
    HGDIOBJ oldFont = SelectObject(dc, boldFont_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, NameColor);
    DrawTextW(dc, BodyName, -1, &name, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(eyeBrush);
    DeleteObject(edgePen);
    DeleteObject(bodyBrush);
}

void RemoteWindow::showKey(int code) {
    if (code == shownCode_) return;
    const core::RemoteKeyRow* key = core::RowOf(code);
    if (!key) return;
    shownCode_ = code;
    SetDlgItemTextW(hwnd_, KeyHeadingId, Widen(KeyHeading(*key)).c_str());
    int id = FirstModeLineId;
    for (keydocs::Mode mode : keydocs::Modes) {
        SetDlgItemTextW(hwnd_, id++, Widen(ModeLine(mode, code)).c_str());
    }
}

void RemoteWindow::refreshApplications() {
    std::string text = OpenApplications(TopLevelWindowExists);
    if (text == applications_) return;
    applications_ = std::move(text);
    SetDlgItemTextW(hwnd_, ApplicationsId, Widen(applications_).c_str());
}

void RemoteWindow::destroy() {
    KillTimer(hwnd_, HoldTimer);
    KillTimer(hwnd_, ApplicationsTimer);
    if (boldFont_) DeleteObject(boldFont_);
    boldFont_ = nullptr;
}

}  // namespace vremote
