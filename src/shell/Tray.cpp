#include "shell/Tray.h"

#include "win32/FailureTrace.h"
#include "win32/StringTable.h"

namespace {

// The tip's room in the first layout of the record.
constexpr int TrayTipSize = 64;

}  // namespace

TrayIcon::~TrayIcon() {
    if (menu_ != nullptr) DestroyMenu(menu_);
}

void TrayIcon::Add(HWND window, HICON icon, const char* tip) {
    record_ = NOTIFYICONDATAA{};
    record_.cbSize = TrayIconDataSize;
    record_.hWnd = window;
    record_.uID = TrayIconId;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record_.uCallbackMessage = TrayCallbackMessage;
    record_.hIcon = icon;
    if (tip != nullptr) lstrcpynA(record_.szTip, tip, TrayTipSize);
    if (!Shell_NotifyIconA(NIM_ADD, &record_)) TraceFailure("adding the tray icon", GetLastError());
}

void TrayIcon::Remove() {
    NOTIFYICONDATAA record = {};
    record.cbSize = TrayIconDataSize;
    record.hWnd = record_.hWnd;
    record.uID = TrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &record);
    record_.hWnd = nullptr;
}

void TrayIcon::Refresh(DWORD action) {
    if (record_.hWnd != nullptr) Shell_NotifyIconA(action, &record_);
}

void TrayIcon::SetTip(const char* tip) {
    lstrcpynA(record_.szTip, tip, TrayTipSize);
    Refresh(NIM_MODIFY);
}

void TrayIcon::ShowMenu(HWND owner, const core::Application* application, bool running) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    if (menu_ != nullptr) DestroyMenu(menu_);
    menu_ = CreatePopupMenu();
    if (application != nullptr)
        AppendMenuA(menu_, running ? MF_CHECKED : MF_STRING, application->menuCommand,
                    application->menuText);
    AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
    aboutText_ = LoadText(IDS_MENU_ABOUT);
    exitText_ = LoadText(IDS_MENU_EXIT);
    AppendMenuA(menu_, MF_STRING, IDM_ABOUT, aboutText_.c_str());
    AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu_, MF_STRING, IDM_EXIT, exitText_.c_str());
    SetForegroundWindow(owner);
    TrackPopupMenu(menu_, 0, cursor.x, cursor.y, 0, owner, nullptr);
}
