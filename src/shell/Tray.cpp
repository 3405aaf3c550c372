#include "shell/Tray.h"

#include "apps/TvApplication.h"
#include "res/resource.h"
#include "shell/Settings.h"

NOTIFYICONDATAA TrayIconData;
HMENU TrayMenu = nullptr;

namespace {

struct MenuEntry {
    int selector;
    const TvApplication* application;
    const char* text;
    UINT command;
    int (*running)();
};

const MenuEntry ApplicationEntries[] = {
    {SelectQuillmarsh, &QuillmarshApp, "Quillmarsh", IDM_SWITCH_QUILLMARSH, IsQuillmarshRunning},
    {SelectBeyondTv, &BeyondTvApp, "SnapStream", IDM_SWITCH_BEYONDTV, IsBeyondTvRunning},
    {SelectWinDvr, &WinDvrApp, "WinDVR 6", IDM_SWITCH_WINDVR, IsWinDvrRunning},
};

void AppendApplicationEntry(HMENU menu) {
    for (const MenuEntry& entry : ApplicationEntries) {
        if (entry.selector != DefaultAppSelector || !entry.application->IsInstalled()) continue;
        const UINT flags = entry.running() ? MF_CHECKED : MF_STRING;
        AppendMenuA(menu, flags, entry.command, entry.text);
        return;
    }
}

}  // namespace

void AddTrayIcon(HWND window, UINT identifier, HICON icon, const char* tip) {
    TrayIconData = NOTIFYICONDATAA{};
    TrayIconData.cbSize = TrayIconDataSize;
    TrayIconData.hWnd = window;
    TrayIconData.uID = identifier;
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TrayIconData.uCallbackMessage = TrayCallbackMessage;
    TrayIconData.hIcon = icon;
    if (tip != nullptr) lstrcpynA(TrayIconData.szTip, tip, 64);
    Shell_NotifyIconA(NIM_ADD, &TrayIconData);
}

void RemoveTrayIcon(HWND window, UINT identifier) {
    NOTIFYICONDATAA record = {};
    record.cbSize = TrayIconDataSize;
    record.hWnd = window;
    record.uID = identifier;
    Shell_NotifyIconA(NIM_DELETE, &record);
    TrayIconData.hWnd = nullptr;
}

void RefreshTrayIcon(DWORD action) {
    if (TrayIconData.hWnd != nullptr) Shell_NotifyIconA(action, &TrayIconData);
}

void ShowTrayMenu(HWND window) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    if (TrayMenu != nullptr) DestroyMenu(TrayMenu);
    TrayMenu = CreatePopupMenu();
    AppendApplicationEntry(TrayMenu);
    AppendMenuA(TrayMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(TrayMenu, MF_STRING, IDM_ABOUT, "About");
    AppendMenuA(TrayMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(TrayMenu, MF_STRING, IDM_EXIT, "Exit");
    SetForegroundWindow(window);
    TrackPopupMenu(TrayMenu, 0, cursor.x, cursor.y, 0, window, nullptr);
}
